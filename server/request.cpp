#include "server/request.h"

#include <nlohmann/json.hpp>

#include "server/envelope.h"
#include "src/http/code_page.h"

namespace sd {
namespace {

// Deepest nesting of arrays and objects, outside strings; stops counting past limit.
int nesting_depth(const std::string& text, int limit) {
  int depth = 0, deepest = 0;
  bool in_string = false, escaped = false;
  for (char c : text) {
    if (in_string) {
      if (escaped) escaped = false;
      else if (c == '\\') escaped = true;
      else if (c == '"') in_string = false;
      continue;
    }
    if (c == '"') in_string = true;
    else if (c == '[' || c == '{') {
      if (++depth > deepest) deepest = depth;
      if (deepest > limit) return deepest;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

bool is_digits(const std::string& text, std::size_t max_length) {
  if (text.empty() || text.size() > max_length) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool read_string(const nlohmann::json& object, const char* name, std::string& out,
                 bool required) {
  const auto it = object.find(name);
  if (it == object.end()) return !required;
  if (!it->is_string()) return false;
  out = it->get<std::string>();
  return true;
}

}  // namespace

bool parse_request(const std::string& plain_gbk, ParsedRequest& out) {
  const std::string text = local_to_utf8(percent_decode(plain_gbk));
  if (nesting_depth(text, 8) > 8) return false;
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) return false;
  ParsedRequest r;
  if (!read_string(doc, "rand", r.rand, true) || !is_digits(r.rand, 9)) return false;
  if (!read_string(doc, "funname", r.funname, true)) return false;
  if (!read_string(doc, "appid", r.appid, false) || !read_string(doc, "cpname", r.cpname, false) ||
      !read_string(doc, "platform", r.platform, false))
    return false;
  const auto param = doc.find("param");
  if (param != doc.end() && !param->is_null()) {
    if (!param->is_array()) return false;
    for (const auto& item : *param) {
      if (!item.is_string()) return false;
      r.param.push_back(item.get<std::string>());
    }
  }
  out = std::move(r);
  return true;
}

}  // namespace sd
