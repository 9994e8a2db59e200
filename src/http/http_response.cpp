#include "src/http/http_response.h"

#include "src/http/code_page.h"
#include "src/http/cookies.h"
#include "src/http/http_request.h"
#include "src/http/text.h"
#include "src/script/regex_object.h"

namespace sd::http {

ResponseHeaders read_response_headers(const std::string& raw_block) {
  ResponseHeaders out;
  // The status line from its tenth byte: the code and reason after "HTTP/1.1 ".
  const long line_end = sd::find(raw_block, "\r\n", 10);
  out.status = line_end == -1 ? sd::middle(raw_block, 10, static_cast<long>(raw_block.size()))
                              : sd::middle(raw_block, 10, line_end - 10);

  out.block = sd::replace_all(raw_block, "Set-Cookie", "Set-Cookie", true);
  for (const std::string& line : sd::split(out.block, "\r\n")) {
    if (sd::find(line, "Set-Cookie") != -1) {
      const std::string cookie = sd::find(line, ";") != -1
                                     ? sd::text_between(line, "Set-Cookie:", ";")
                                     : sd::replace_all(line, "Set-Cookie:", "", true);
      out.received_cookies += sd::trim(cookie) + "; ";
    }
    if (line.size() >= 10 && sd::find(sd::left(line, 10), "Location: ", 1, true) == 1) {
      out.location = line.substr(10);
    }
    process_pending_messages();
  }
  if (out.received_cookies.size() >= 2) out.received_cookies.resize(out.received_cookies.size() - 2);
  return out;
}

std::string page_text(const std::string& body) {
  std::string text = sd::text_of(body);
  RegexObject regex;
  std::string charset;
  if (regex.search("<meta.+?charset=[^\\w]?([-\\w]+)", sd::left(text, 1024)) &&
      regex.match_count() > 0) {
    charset = regex.sub_match_text(1, 1);
  }
  if (!charset.empty() && charset != "gbk" && charset != "gb2312") {
    std::string decoded;
    if (sd::decode_named_charset(body, charset, decoded)) text = sd::text_of(decoded);
  }
  process_pending_messages();
  return text;
}

}  // namespace sd::http
