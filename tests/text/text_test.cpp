#include "src/http/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sd {
namespace {

using namespace std::string_literals;

TEST(LocalText, NarrowLiteralsAreGbk) {
  EXPECT_EQ(std::string("中"), "\xD6\xD0"s);
  EXPECT_EQ(std::string("错误："), "\xB4\xED\xCE\xF3\xA3\xBA"s);
  EXPECT_EQ(std::string("#引号"), "#\xD2\xFD\xBA\xC5"s);
}

struct FindCase {
  std::string text, needle;
  long start;
  bool ignore_case;
  long expected;
};

TEST(LocalText, Find) {
  const std::vector<FindCase> cases = {
      {"abcabc", "c", 1, false, 3},
      {"abcabc", "c", 4, false, 6},
      {"abcabc", "c", 0, false, 3},
      {"abcabc", "c", -7, false, 3},
      {"abcabc", "abc", 2, false, 4},
      {"abcabc", "d", 1, false, -1},
      {"abcabc", "", 1, false, -1},
      {"abc", "c", 4, false, -1},
      {"abc", "c", 100, false, -1},
      {"ab", "abc", 1, false, -1},
      {"", "a", 1, false, -1},
      // A trail byte that looks like ASCII is never the start of a match.
      {"\x95\x5C\\", "\\", 1, false, 3},
      {"\x81\x5D", "]", 1, false, -1},
      {"\x81\x5D]", "]", 1, false, 3},
      {"\xB0\x7C|", "|", 1, false, 3},
      {"\xD6\xD0\xCE\xC4", "\xD0\xCE", 1, false, -1},  // spans two characters
      {"中文中文", "文", 1, false, 3},
      {"中文中文", "文", 4, false, 7},
      // A start inside a character moves on to the next character.
      {"\xB0\x41" "A", "A", 2, false, 3},
      // 0x80 (euro) and 0xFF are one-byte characters.
      {"\x80" "a", "a", 1, false, 2},
      {"\xFF" "a", "a", 1, false, 2},
      {"ab\xB0", "\xB0", 1, false, 3},  // a lead byte cut off at the end
      // Case folding: ASCII letters only, never the trail byte of a character.
      {"AbcXdef", "xD", 1, true, 4},
      {"AbcXdef", "xD", 1, false, -1},
      {"\xB0\x61" "A", "a", 1, true, 3},
      {"\x81\x41", "\x81\x61", 1, true, -1},
      {"x\x81\x41", "X\x81\x41", 1, true, 1},
      {"\xC4\xE3", "\xC4\xC3", 1, true, -1},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text) + " / " + testing::PrintToString(c.needle));
    EXPECT_EQ(find(c.text, c.needle, c.start, c.ignore_case), c.expected);
  }
}

TEST(LocalText, Split) {
  using List = std::vector<std::string>;
  const std::vector<std::tuple<std::string, std::string, List>> cases = {
      {"", ",", {}},
      {"a,b", ",", {"a", "b"}},
      {"a,,b", ",", {"a", "", "b"}},
      {"a,b,", ",", {"a", "b"}},
      {",a", ",", {"", "a"}},
      {",", ",", {""}},
      {"a; b; c", "; ", {"a", "b", "c"}},
      {"abc", "", {"abc"}},
      {"\x81\x7C|x", "|", {"\x81\x7C", "x"}},
      {"中,文", ",", {"中", "文"}},
  };
  for (const auto& [text, separator, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_EQ(split(text, separator), expected);
  }
}

TEST(LocalText, TrimAndRemoveSpaces) {
  // text, trimmed, without spaces
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"  a b  ", "a b", "ab"},
      {"\xA1\xA1" "a\xA1\xA1" "b\xA1\xA1", "a\xA1\xA1" "b", "ab"},
      {"\ta\r\n", "\ta\r\n", "\ta\r\n"},
      {"", "", ""},
      {" \xA1\xA1 ", "", ""},
      // B0 A1 and A1 B0 are two characters: no full-width space between them.
      {"\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0"},
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1", "\xB0\xA1"},
      {"\xB0\xA1 \xA1\xA1x", "\xB0\xA1 \xA1\xA1x", "\xB0\xA1x"},
      {"a\xA1", "a\xA1", "a\xA1"},  // a lone A1 is no space
  };
  for (const auto& [text, trimmed, bare] : cases) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_EQ(trim(text), trimmed);
    EXPECT_EQ(remove_spaces(text), bare);
  }
}

TEST(LocalText, ReplaceAll) {
  const std::vector<std::tuple<std::string, std::string, std::string, bool, std::string>> cases = {
      {"a-b-c", "-", "+", false, "a+b+c"},
      {"aXbx", "x", "_", true, "a_b_"},
      {"aXbx", "x", "_", false, "aXb_"},
      {"abc", "", "z", false, "abc"},
      {"aaa", "aa", "b", false, "ba"},
      {"abc", "abc", "", false, ""},
      {"\x95\x5C\\", "\\", "/", false, "\x95\x5C/"},
      {"中文", "文", "字", false, "中字"},
  };
  for (const auto& [text, from, to, ignore_case, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_EQ(replace_all(text, from, to, ignore_case), expected);
  }
}

TEST(LocalText, ByteCuts) {
  const std::string t = "abcdef";
  EXPECT_EQ(left(t, 2), "ab");
  EXPECT_EQ(left(t, 0), "");
  EXPECT_EQ(left(t, -1), "");
  EXPECT_EQ(left(t, 10), t);
  EXPECT_EQ(right(t, 2), "ef");
  EXPECT_EQ(right(t, -1), "");
  EXPECT_EQ(right(t, 10), t);
  EXPECT_EQ(middle(t, 2, 3), "bcd");
  EXPECT_EQ(middle(t, 0, 2), "ab");
  EXPECT_EQ(middle(t, 5, 10), "ef");
  EXPECT_EQ(middle(t, 7, 1), "");
  EXPECT_EQ(middle(t, 2, -1), "");
  EXPECT_EQ(text_of("ab\0cd"s), "ab");
  EXPECT_EQ(text_of(""), "");
  EXPECT_EQ(text_of("abc"), "abc");
}

}  // namespace
}  // namespace sd
