#pragma once
// A request as the client sends it once the envelope is opened: percent-encoded JSON in GBK.
#include <string>
#include <vector>

namespace sd {

struct ParsedRequest {
  std::string rand;       // the client random (digits)
  std::string funname;
  std::string appid, cpname, platform;
  std::vector<std::string> param;  // UTF-8; empty for init's null
};

// Undoes the percent-encoding, converts GBK to UTF-8 and reads the JSON object.
// False when it is not a well-formed request (not JSON, missing or mistyped members).
bool parse_request(const std::string& plain_gbk, ParsedRequest& out);

}  // namespace sd
