#include "src/ui/tab_table.h"

#include <gtest/gtest.h>

#include "src/app/page_titles.h"
#include "tests/ui_main/table_fixture.h"

namespace sd {
namespace {

using test::scramble_table;
using test::table_check;

TEST(DecodeTabTable, Cases) {
  const std::string json = "[{\"微信精读\":\"http://127.0.0.1/a?x=1&y=2\"}]";
  struct Case {
    const char* name;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"upper-case digits", scramble_table(json), json},
      {"lower-case digits", scramble_table(json, true), json},
      {"check differs in case", scramble_table(json).substr(0, scramble_table(json).size() - 9) +
                                    "78b9DF931",
       ""},
      {"check missing", scramble_table(json).substr(0, scramble_table(json).size() - 9), ""},
      {"check alone", std::string(table_check), ""},
      {"shorter than the check", "78B9", ""},
      {"empty", "", ""},
      // 0x4 ^ 0x23 = 0x27, then the lone last digit A: 0x0A ^ 0x23 = 0x29.
      {"odd digit count", "04A" + std::string(table_check), "')"},
      // 0x23 unscrambles to a zero byte: the text ends there.
      {"ends at zero byte", "42234241" + std::string(table_check), "a"},
      // Non-digits are not rejected: 'G' gives 16, 'g' gives 16.
      {"non-digit characters", "1G" + std::string(table_check), std::string(1, char(0x20 ^ 0x23))},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(decode_tab_table(c.text, table_key), c.expected) << c.name;
  }
  EXPECT_EQ(decode_tab_table(scramble_table(json), "5281946074"), "") << "another key";
}

TEST(ReplacePairs, Cases) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<ReplacePair> pairs;
    long start, count;
    bool ignore_case;
    std::string expected;
  };
  const Case cases[] = {
      {"quotes removed", "\"AB\"CD\"", {{"\"", ""}}, 1, 0, false, "ABCD"},
      {"pairs chained", "abc", {{"a", "b"}, {"b", "c"}}, 1, 0, false, "ccc"},
      {"empty find changes nothing", "abc", {{"", "x"}, {"c", "d"}}, 1, 0, false, "abd"},
      {"from the start position", "aXaXa", {{"a", "-"}}, 2, 0, false, "aX-X-"},
      {"start 0 counts as 1", "aa", {{"a", "b"}}, 0, 0, false, "bb"},
      {"start past the end", "aa", {{"a", "b"}}, 3, 0, false, "aa"},
      {"count bounds replacements", "aaaa", {{"a", "b"}}, 1, 2, false, "bbaa"},
      {"case-sensitive", "aAa", {{"a", "x"}}, 1, 0, false, "xAx"},
      {"ignoring case", "aAa", {{"a", "x"}}, 1, 0, true, "xxx"},
      {"replacement is not searched again", "aa", {{"a", "aa"}}, 1, 0, false, "aaaa"},
      // 0x95 0x5C is one two-byte character whose trail byte is a backslash.
      {"trail byte never matched", "\x95\\\\", {{"\\", "/"}}, 1, 0, false, "\x95\\/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(replace_pairs(c.text, c.pairs, c.start, c.count, c.ignore_case), c.expected) << c.name;
  }
}

TEST(ReadPageAddresses, QuotedAndUnquotedTables) {
  std::string json = "[{";
  for (std::size_t i = 0; i < page_titles.size(); ++i) {
    if (i == 5) continue;  // 金睛盘 missing from the table
    if (json.size() > 2) json += ",";
    json += "\"" + std::string(page_titles[i]) + "\":\"http://127.0.0.1:1/p" + std::to_string(i) + "\"";
  }
  json += ",\"其他\":\"x\"},{\"微信精读\":\"ignored\"}]";
  const std::string table = scramble_table(json);

  for (const std::string& text : {table, "\"" + table + "\""}) {
    const auto addresses = read_page_addresses(text);
    for (std::size_t i = 0; i < addresses.size(); ++i) {
      EXPECT_EQ(addresses[i], i == 5 ? "" : "http://127.0.0.1:1/p" + std::to_string(i)) << i;
    }
  }

  const std::string refused = table.substr(0, table.size() - 9) + "78B9DF93l";
  for (const std::string& text : {std::string(), refused, scramble_table("not json")}) {
    for (const std::string& address : read_page_addresses(text)) EXPECT_EQ(address, "");
  }
}

}  // namespace
}  // namespace sd
