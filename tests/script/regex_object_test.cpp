// JavaScript-style searches over local text: options, groups, positions, replacement, limits.
#include <gtest/gtest.h>

#include <string>

#include "src/script/regex_object.h"

namespace sd {
namespace {

const std::string charset_pattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

TEST(RegexObject, Searches) {
  struct Case {
    std::string pattern;
    std::string subject;
    bool case_sensitive, multiline, global, quote_marker;
    long count;
    std::string first, group;
  };
  const Case cases[] = {
      {charset_pattern, R"(<META http-equiv="Content-Type" content="text/html; charset=gb2312">)", false, true,
       true, false, 1, R"(<META http-equiv="Content-Type" content="text/html; charset=gb2312)", "gb2312"},
      {charset_pattern, "<meta charset=\"UTF-8\">", false, true, true, false, 1, "<meta charset=\"UTF-8", "UTF-8"},
      {charset_pattern, "<meta http-equiv=\"Content-Type\"\ncontent=\"text/html; charset=gbk\">", false, true,
       true, false, 0, "", ""},
      {charset_pattern, "<meta\r content=\"charset=gbk\">", false, true, true, false, 0, "", ""},
      {"a.c", "a\rc a\nc abc", false, true, true, false, 1, "abc", ""},
      {"(\\d+)", "1 22 333", false, true, true, false, 3, "1", "1"},
      {"(\\d+)", "1 22 333", false, true, false, false, 1, "1", "1"},
      {"abc", "ABC abc", false, true, true, false, 2, "ABC", ""},
      {"abc", "ABC abc", true, true, true, false, 1, "abc", ""},
      {"^b$", "a\nb\r\nc", false, true, true, false, 1, "b", ""},
      {"^b", "a\nb", false, false, true, false, 0, "", ""},
      {"a$", "a\n", false, false, true, false, 0, "", ""},
      {"content=#引号(\\w+)", "content=\"abc\"", false, true, true, true, 1, "content=\"abc", "abc"},
      {"content=#引号(\\w+)", "content=\"abc\"", false, true, true, false, 0, "", ""},
      {"content=#引号(\\w+)", "content=#引号abc", false, true, true, false, 1, "content=#引号abc", "abc"},
      {"\\w+", "中文abc", false, true, true, false, 1, "abc", ""},
      {"[^\\w]+", "ab中文cd", false, true, true, false, 1, "中文", ""},
      {"文.", "中文字", false, true, true, false, 1, "文字", ""},
      {"x*", "abc", false, true, true, false, 4, "", ""},
      {"\\u4e2d", "中", false, true, true, false, 1, "中", ""},
      {"a[^]b", "a\nb", false, true, true, false, 1, "a\nb", ""},
      {"(x)?\\1y", "y", false, true, true, false, 1, "y", ""},
      {"(a)|(b)", "b", false, true, true, false, 1, "b", ""},
      {"zzz", "abc", false, true, true, false, 0, "", ""},
  };
  for (const auto& c : cases) {
    RegexObject regex;
    ASSERT_TRUE(regex.search(c.pattern, c.subject, c.case_sensitive, c.multiline, c.global, c.quote_marker))
        << c.pattern;
    EXPECT_EQ(regex.match_count(), c.count) << c.pattern << " / " << c.subject;
    EXPECT_EQ(regex.match_text(1), c.first) << c.pattern << " / " << c.subject;
    EXPECT_EQ(regex.sub_match_text(1, 1), c.group) << c.pattern << " / " << c.subject;
  }
}

TEST(RegexObject, InvalidPatternsGiveEmptyResults) {
  for (std::string pattern : {"(abc", "[a", "a{2,1}", "*", "\\"}) {
    RegexObject regex;
    EXPECT_FALSE(regex.search(pattern, "abc (abc")) << pattern;
    EXPECT_EQ(regex.match_count(), 0);
    EXPECT_EQ(regex.match_text(1), "");
    EXPECT_EQ(regex.sub_match_count(), 0);
    EXPECT_EQ(regex.replace("x"), "");
    EXPECT_EQ(regex.pattern(), pattern);
  }
  RegexObject fresh;
  EXPECT_EQ(fresh.pattern(), "");
  EXPECT_EQ(fresh.match_count(), 0);
  EXPECT_EQ(fresh.replace("x"), "");
}

TEST(RegexObject, GroupsAndIndices) {
  RegexObject regex;
  ASSERT_TRUE(regex.search("(\\w)(\\d)?", "a1 b"));
  EXPECT_EQ(regex.match_count(), 2);
  EXPECT_EQ(regex.sub_match_count(), 2);
  EXPECT_EQ(regex.sub_match_text(1, 2), "1");
  EXPECT_EQ(regex.sub_match_text(2, 1), "b");
  long position = 99;
  EXPECT_EQ(regex.sub_match_text(2, 2, &position), "");  // did not take part
  EXPECT_EQ(position, -1);
  for (auto [index, group] : {std::pair{0L, 1L}, {3L, 1L}, {1L, 0L}, {1L, 3L}, {-1L, -1L}}) {
    position = 99;
    EXPECT_EQ(regex.sub_match_text(index, group, &position), "");
    EXPECT_EQ(position, -1);
  }
  position = 99;
  EXPECT_EQ(regex.match_text(3, &position), "");
  EXPECT_EQ(position, -1);
}

TEST(RegexObject, PositionsAreByteOffsets) {
  RegexObject regex;
  ASSERT_TRUE(regex.search("(b)(c)", "中文abc中bc"));
  long position = -1;
  EXPECT_EQ(regex.match_text(1, &position), "bc");
  EXPECT_EQ(position, 5);
  EXPECT_EQ(regex.match_text(2, &position), "bc");
  EXPECT_EQ(position, 9);
  EXPECT_EQ(regex.sub_match_text(2, 2, &position), "c");
  EXPECT_EQ(position, 10);

  // A later match whose text also stands between its character index and its place.
  ASSERT_TRUE(regex.search("x", "中中中中x x"));
  EXPECT_EQ(regex.match_text(2, &position), "x");
  EXPECT_EQ(position, 10);
  // A group whose text also occurs earlier inside the same match.
  ASSERT_TRUE(regex.search("a.(a)", "中aba"));
  EXPECT_EQ(regex.sub_match_text(1, 1, &position), "a");
  EXPECT_EQ(position, 4);
  ASSERT_TRUE(regex.search("x*", "中"));
  EXPECT_EQ(regex.match_text(2, &position), "");
  EXPECT_EQ(position, 2);
}

TEST(RegexObject, Replace) {
  struct Case {
    std::string pattern, subject;
    bool global;
    std::string replacement, result;
  };
  const Case cases[] = {
      {"(\\w+)@(\\w+)", "a@b c@d", true, "$2@$1", "b@a d@c"},
      {"(\\w+)@(\\w+)", "a@b c@d", false, "$2@$1", "b@a c@d"},
      {"b", "abc", true, "[$&|$`|$'|$$]", "a[b|a|c|$]c"},
      {"(b)", "abc", true, "$0$2$9$", "a$0$2$9$c"},
      {"(b)", "abc", true, "$10", "ab0c"},
      {"文", "中文字文", true, "", "中字"},
      {"x*", "ab", true, "-", "-a-b-"},
      {"z", "abc", true, "y", "abc"},
      {"b", "abc", true, "二", "a二c"},
  };
  for (const auto& c : cases) {
    RegexObject regex;
    ASSERT_TRUE(regex.search(c.pattern, c.subject, false, true, c.global));
    EXPECT_EQ(regex.replace(c.replacement), c.result) << c.pattern << " " << c.replacement;
    EXPECT_EQ(regex.match_count(), c.global ? regex.match_count() : 1);
  }
}

TEST(RegexObject, CopiesKeepTheirSearch) {
  RegexObject first;
  ASSERT_TRUE(first.search("b", "abc"));
  RegexObject copy = first;
  ASSERT_TRUE(first.search("(x)", "xx"));
  EXPECT_EQ(copy.match_count(), 1);
  EXPECT_EQ(copy.replace("B"), "aBc");
  EXPECT_EQ(first.replace("y"), "yy");
  copy = first;
  EXPECT_EQ(copy.sub_match_text(2, 1), "x");
}

TEST(RegexObject, LargeSubjectsAndRunawayPatterns) {
  std::string page = "<html><head><META http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">";
  std::string subject = page + std::string(1 << 20, 'a') + "中文" + page;
  RegexObject regex;
  ASSERT_TRUE(regex.search(charset_pattern, subject));
  EXPECT_EQ(regex.match_count(), 2);
  long position = -1;
  EXPECT_EQ(regex.sub_match_text(2, 1, &position), "gb2312");
  EXPECT_EQ(position, static_cast<long>(subject.size() - 8));

  std::string line(1 << 20, 'x');
  ASSERT_TRUE(regex.search("<meta.+?charset=", "<meta " + line));
  EXPECT_EQ(regex.match_count(), 0);
  ASSERT_TRUE(regex.search("\\w", line));
  EXPECT_EQ(regex.match_count(), 1 << 20);

  // Catastrophic backtracking ends with a failed search instead of running on.
  EXPECT_FALSE(regex.search("(a+)+[bc]", std::string(64, 'a')));
  EXPECT_EQ(regex.match_count(), 0);
}

}  // namespace
}  // namespace sd
