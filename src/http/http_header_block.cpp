#include "src/http/http_header_block.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "src/http/text.h"

namespace sd::http {

namespace {

struct DefaultLine {
  const char* test;
  bool ignore_case;
  const char* line;
};

constexpr DefaultLine kAlways[] = {
    {"User-Agent: ", true,
     "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"},
    {"Accept: ", true, "Accept: text/html, application/xhtml+xml, */*\r\n"},
    {"Accept-Encoding: ", true, "Accept-Encoding: gbk, GB2312\r\n"},
    {"Accept-Language: ", true, "Accept-Language: zh-cn\r\n"},
};

void append_unless_found(std::string& block, const char* test, bool ignore_case,
                         std::string_view line) {
  if (sd::find(block, test, 1, ignore_case) == -1) block += line;
}

bool is_token_char(unsigned char c) {
  if (std::isalnum(c)) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view strip(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string build_header_block(const std::string& extra_headers, int method,
                               const std::string& cookies) {
  std::string block;
  if (!extra_headers.empty()) block = extra_headers + "\r\n";
  for (const DefaultLine& row : kAlways) append_unless_found(block, row.test, row.ignore_case, row.line);
  if (method == 1) {
    append_unless_found(block, "Content-Type:", false,
                        "Content-Type: application/x-www-form-urlencoded\r\n");
  }
  append_unless_found(block, "Cache-Control: ", true, "Cache-Control: no-cache\r\n");
  if (!cookies.empty()) append_unless_found(block, "Cookie: ", true, "Cookie: " + cookies + "\r\n");
  return block;
}

WireHeaders wire_headers(const std::string& block) {
  WireHeaders out;
  for (const std::string& line : sd::split(block, "\r\n")) {
    if (line.empty()) continue;
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return out;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) return out;
    const std::string_view name(line.data(), colon);
    if (!std::all_of(name.begin(), name.end(),
                     [](char c) { return is_token_char(static_cast<unsigned char>(c)); })) {
      return out;
    }
    const std::string_view value = strip(std::string_view(line).substr(colon + 1));
    const std::string key = lower_ascii(name);
    const auto at = std::find(out.names.begin(), out.names.end(), key);
    if (value.empty()) {
      if (at != out.names.end()) {
        out.lines.erase(out.lines.begin() + (at - out.names.begin()));
        out.names.erase(at);
      }
      continue;
    }
    std::string wire = std::string(name) + ": " + std::string(value);
    if (at != out.names.end()) {
      out.lines[at - out.names.begin()] = std::move(wire);
    } else {
      out.names.push_back(key);
      out.lines.push_back(std::move(wire));
    }
  }
  out.ok = true;
  return out;
}

}  // namespace sd::http
