#include "src/script/json_reader.h"

#include <algorithm>

namespace sd {
namespace {

// Deepest bracket nesting outside strings; stops counting once past the limit.
bool nesting_within_limit(std::string_view text) {
  int depth = 0;
  bool in_string = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (in_string) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > json_depth_limit) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

}  // namespace

std::optional<Json> read_json(std::string_view utf8) {
  if (!nesting_within_limit(utf8)) return std::nullopt;
  auto as_double = [](int, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::value && parsed.is_number() && !parsed.is_number_float())
      parsed = parsed.get<double>();
    return true;
  };
  try {
    Json value = Json::parse(utf8.begin(), utf8.end(), as_double, false);
    if (value.is_discarded()) return std::nullopt;
    return value;
  } catch (...) {
    return std::nullopt;
  }
}

int json_depth(const Json& value) {
  if (!value.is_structured()) return 0;
  int deepest = 0;
  for (const auto& item : value) deepest = std::max(deepest, json_depth(item));
  return deepest + 1;
}

}  // namespace sd
