// Input: two path lines, then a JSON text (local text). Parses it, reads and changes it at the
// two paths, and checks that the text form of every value parses again to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "src/script/json_object.h"

namespace {

std::string take_line(std::string& rest) {
  size_t end = rest.find('\n');
  std::string line = rest.substr(0, end);
  rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
  return line;
}

void require(bool condition) {
  if (!condition) std::abort();
}

// The text form of a value parses again, and a second round gives the same text.
void check_text_form(const sd::JsonObject& json) {
  std::string text = json.to_text();
  if (text.empty() || text == "null") return;
  sd::JsonObject again;
  require(again.parse(text));
  std::string second = again.to_text();
  sd::JsonObject third;
  require(third.parse(second));
  require(third.to_text() == second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string rest(reinterpret_cast<const char*>(data), size);
  const std::string first = take_line(rest);
  const std::string second = take_line(rest);

  sd::JsonObject json;
  json.parse(rest);
  check_text_form(json);
  std::vector<std::string> names;
  for (const std::string& path : {first, second}) {
    json.get_text(path);
    json.get_text(path, true);
    json.get_json(path);
    json.get_number(path);
    json.count(path);
    json.type_of(path);
    json.has_member(path);
    json.member_names(names, path);
    json.get_element_text(1, path, true);
    check_text_form(json.get_object(path));
    check_text_form(json.get_element_object(0, path));
  }

  sd::JsonObject copy = json;
  copy.set_text(first, second);
  copy.set_text(second, first, true);
  copy.set_json(first, second);
  copy.set_number(second, static_cast<double>(size) / 7);
  copy.push(first, second, true);
  copy.push(second, first);
  copy.set_element(static_cast<long>(size % 5) - 1, first, size % 2 == 0);
  copy.remove_element(static_cast<long>(size % 7) - 3);
  copy.delete_member(second);
  check_text_form(copy);
  copy.set_value(first, true);
  copy.reset(static_cast<int>(size % 7));
  check_text_form(json);
  return 0;
}
