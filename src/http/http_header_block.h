#pragma once
// The request header block: the caller's lines, the default lines, and the lines that go on the
// wire after the add-or-replace rule.
#include <optional>
#include <string>
#include <vector>

namespace sd::http {

// The caller's extra lines followed by the default lines that the block does not already name.
// method 1 (POST) adds the form Content-Type; non-empty cookies add "Cookie: " + cookies.
std::string build_header_block(const std::string& extra_headers, int method,
                               const std::string& cookies);

struct WireHeaders {
  bool ok = false;                  // false: a line is malformed (no name, bad name, stray CR/LF)
  std::vector<std::string> lines;   // "Name: value", one per name, in first-seen order
  std::vector<std::string> names;   // the lower-case name of each line
};

// Applies the block's lines in order: a later line replaces an earlier line of the same name
// (names compared without case); a line with an empty value removes that name.
WireHeaders wire_headers(const std::string& block);

}  // namespace sd::http
