#include "src/http/cookies.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace sd {
namespace {

TEST(TextBetween, Cases) {
  // text, start marker, end marker, start, ignore case, expected
  const std::vector<std::tuple<std::string, std::string, std::string, long, bool, std::string>>
      cases = {
          {R"({"data":"Ab12"})", R"(data":")", "\"", 1, false, "Ab12"},
          {R"({"data":"Ab12"})", "data#引号:#引号", "#引号", 1, false, "Ab12"},
          {"x]y", "[", "]", 1, false, ""},  // start marker missing, end marker present
          {"[xy", "[", "]", 1, false, ""},
          {"a[1]a[2]", "[", "]", 4, false, "2"},
          {"a[]b", "[", "]", 1, false, ""},
          {"AbcXdef", "abc", "def", 1, true, "X"},
          {"AbcXdef", "abc", "def", 1, false, ""},
          {"Set-Cookie: sid=1; path=/", "Set-Cookie:", ";", 1, false, " sid=1"},
          {"\x81[x]y]", "[", "]", 1, false, ""},  // 81 5B is one character
      };
  for (const auto& [text, head, tail, start, ignore_case, expected] : cases) {
    SCOPED_TRACE(text + " | " + head);
    EXPECT_EQ(text_between(text, head, tail, start, ignore_case), expected);
  }
}

TEST(MergeCookies, Cases) {
  // kept, received, merged, received afterwards
  const std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases = {
      {"a=1; b=2", "b=3", "b=3; a=1", "b=3"},
      {"a=1", "a=deleted", "", "a=deleted"},
      {"", "x=1", "x=1", "x=1"},
      {"n=a b", "", "n=ab", ""},
      {"a=1;a=2", "", "a=1", ""},
      {"a=1", "b=2; c=3; ", "b=2; c=3; a=1", "b=2;c=3;"},
      {"a=1; b=deleted", "", "a=1", ""},
      {"a=1", "a=1;a=1", "a=1", "a=1;a=1"},
      {"", "", "", ""},
      {"A=1", "a=2", "a=2; A=1", "a=2"},  // names compare case-sensitively
  };
  for (const auto& [kept_in, received_in, merged, received_out] : cases) {
    SCOPED_TRACE(kept_in + " + " + received_in);
    std::string kept = kept_in;
    std::string received = received_in;
    EXPECT_EQ(merge_cookies(kept, received), merged);
    EXPECT_EQ(kept, merged);
    EXPECT_EQ(received, received_out);
  }
}

TEST(CookieHelpers, NamesListsAndDuplicates) {
  EXPECT_EQ(cookie_name(" sid =1=2"), "sid");
  EXPECT_EQ(cookie_name("flag"), "flag");
  EXPECT_EQ(cookie_name(""), "");

  const std::vector<std::string> list = {"a=1", "bb=2", "c"};
  EXPECT_TRUE(has_cookie_named(list, "bb"));
  EXPECT_TRUE(has_cookie_named(list, "c"));
  EXPECT_FALSE(has_cookie_named(list, "b"));
  EXPECT_EQ(find_in_list(list, "bb=2"), 2);
  EXPECT_EQ(find_in_list(list, "bb"), -1);
  EXPECT_EQ(find_in_list({}, ""), -1);

  EXPECT_EQ(remove_duplicates("x; y; x", "; "), "x; y");
  EXPECT_EQ(remove_duplicates("x;;x;", ";"), "x;");
  EXPECT_EQ(remove_duplicates("", "; "), "");
  EXPECT_EQ(remove_duplicates("; ", "; "), "");
}

}  // namespace
}  // namespace sd
