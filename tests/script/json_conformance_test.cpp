// The public JSON parsing test set, each file taken the way a server reply reaches parse:
// its bytes as UTF-8, converted to local text, then parsed. y_ files must parse, n_ files must
// fail, i_ files may do either but must neither crash nor hang.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "src/http/code_page.h"
#include "src/script/json_object.h"

namespace sd {
namespace {

namespace fs = std::filesystem;

// Files whose expected answer does not hold here, each for a reason of this object's rules.
const std::map<std::string, std::string> exceptions = {
    {"y_structure_lonely_null.json", "a text whose value is null gives false"},
    {"n_multidigit_number_then_00.json", "local text ends at its first zero byte: \"123\" remains"},
    {"n_structure_U+2060_word_joined.json",
     "U+2060 has no GBK form and the conversion to local text drops it, leaving \"[]\""},
    {"n_structure_whitespace_U+2060_word_joiner.json",
     "U+2060 has no GBK form and the conversion to local text drops it, leaving \"[]\""},
};

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(JsonConformance, ParsingTestSet) {
  const fs::path folder = fs::path(STOCKDESK_SOURCE_DIR) / ".." / "shared" / "conformance" / "json" / "test_parsing";
  if (!fs::is_directory(folder))
    GTEST_SKIP() << "the JSON parsing test set is not here (" << folder.string()
                 << " is absent, as in a fresh clone): nothing was checked";
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".json") continue;
    JsonObject json;
    const bool parsed = json.parse(utf8_to_local(read_file(entry.path())));
    if (parsed) json.to_text();  // the value must also be writable
    ++checked;
    const char kind = name[0];
    if (kind == 'i') continue;
    bool expected = kind == 'y';
    if (exceptions.count(name)) expected = !expected;
    EXPECT_EQ(parsed, expected) << name << (exceptions.count(name) ? " (listed: " + exceptions.at(name) + ")" : "");
  }
  EXPECT_GT(checked, 300);
}

}  // namespace
}  // namespace sd
