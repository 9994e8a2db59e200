#pragma once
// What http_request takes from a response: the header block, its cookies and Location, and the
// page text after the charset step.
#include <optional>
#include <string>

namespace sd::http {

struct ResponseHeaders {
  std::string block;                    // Set-Cookie spelled "Set-Cookie" whatever its case
  std::string status;                   // status code and reason, e.g. "200 OK"
  std::string received_cookies;         // "a=1; b=2" as collected, not merged
  std::optional<std::string> location;  // the last Location line's value, if any
};

// Reads a raw header block ("HTTP/1.1 200 OK\r\nName: value\r\n...\r\n").
// Lets the thread handle pending work after each line.
ResponseHeaders read_response_headers(const std::string& raw_block);

// The body up to its first zero byte, re-decoded when an HTML meta tag in its first 1024 bytes
// names a charset other than "gbk" or "gb2312" that the converter knows.
std::string page_text(const std::string& body);

}  // namespace sd::http
