// Reading JSON values by path: parse results, texts, JSON text form, counts, kinds, copies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/script/json_object.h"

namespace sd {
namespace {

TEST(JsonObject, ReadsAReplyEnvelope) {
  JsonObject json;
  ASSERT_TRUE(json.parse(R"({"errcode":"200","msg":"ok","data":"3A4B"})"));
  EXPECT_EQ(json.get_text("errcode"), "200");
  EXPECT_EQ(json.get_text("data"), "3A4B");
  EXPECT_EQ(json.get_text("data", true), "\"3A4B\"");
  EXPECT_EQ(json.get_text("msg"), "ok");
}

TEST(JsonObject, ParseResults) {
  struct Case {
    std::string text;
    bool result;
  };
  const Case cases[] = {
      {"", false},          {"   ", false},         {"null", false},   {"0", true},
      {"false", true},      {"\"\"", true},         {"[]", true},      {"{}", true},
      {"{", false},         {"[1,]", false},        {"{'a':1}", false}, {"1 2", false},
      {"undefined", false}, {"{\"a\":1}x", false},  {"\"中文\"", true},
  };
  for (const auto& c : cases) {
    JsonObject json;
    EXPECT_EQ(json.parse(c.text), c.result) << c.text;
  }
}

TEST(JsonObject, FailedParseLeavesNoValue) {
  for (std::string text : {"", "{\"a\":", "nul"}) {
    JsonObject json;
    ASSERT_TRUE(json.parse(R"({"a":"1"})"));
    EXPECT_FALSE(json.parse(text));
    EXPECT_EQ(json.get_text("a"), "") << text;
    EXPECT_EQ(json.to_text(), "") << text;
    EXPECT_EQ(json.count(), 0) << text;
    EXPECT_EQ(json.type_of(), 0) << text;
    EXPECT_EQ(json.type_of("a"), -1) << text;
    EXPECT_FALSE(json.has_member("a")) << text;
  }
}

TEST(JsonObject, SecondParseForgetsTheFirstValue) {
  JsonObject json;
  ASSERT_TRUE(json.parse(R"({"a":"1","b":{"c":2}})"));
  ASSERT_TRUE(json.parse(R"({"b":3})"));
  EXPECT_EQ(json.get_text("a"), "");
  EXPECT_EQ(json.get_text("b"), "3");
  EXPECT_EQ(json.to_text(), R"({"b":3})");
}

TEST(JsonObject, TextsByPath) {
  JsonObject json;
  ASSERT_TRUE(json.parse(R"({"n":1700000000,"half":0.5,"t":true,"f":false,"e":2718281828459,)"
                         R"("big":12345678901234567,"tiny":1e-7,"neg":-0.0,"nil":null,"s":"文本",)"
                         R"("a":{"b":{"c":"deep"}},"list":[10,"x",[true]],"num":"42"})"));
  struct Case {
    std::string path;
    std::string text;
  };
  const Case cases[] = {
      {"n", "1700000000"},    {"half", "0.5"},          {"t", "-1"},         {"f", "0"},
      {"e", "2718281828459"}, {"big", "1.234567890123e+16"}, {"tiny", "1e-07"}, {"neg", "0"},
      {"nil", ""},            {"s", "文本"},            {"a.b.c", "deep"},   {"a.b", R"({"c":"deep"})"},
      {"missing", ""},        {"missing.b", ""},        {"a.x.y", ""},       {"list[1]", "x"},
      {"list[2][0]", "-1"},   {"list[9]", ""},          {"list['1']", "x"},  {"['a']['b'].c", "deep"},
      {"a..b", ""},           {"a.", ""},               {"a-b", ""},         {"list[", ""},
      {"num", "42"},
  };
  for (const auto& c : cases) EXPECT_EQ(json.get_text(c.path), c.text) << c.path;
  EXPECT_EQ(json.get_number("num"), 42);
  EXPECT_EQ(json.get_number("t"), -1);
  EXPECT_EQ(json.get_number("s"), 0);
  EXPECT_EQ(json.get_number("half"), 0.5);
  EXPECT_EQ(json.get_number("missing.x"), 0);
}

TEST(JsonObject, PagesTableByTitle) {
  JsonObject json;
  ASSERT_TRUE(json.parse(R"([{"微信精读":"page-a","投资组合":"page-b"}])"));
  EXPECT_EQ(json.get_text("[0]['微信精读']"), "page-a");
  EXPECT_EQ(json.get_text("[0][\"投资组合\"]"), "page-b");
  EXPECT_EQ(json.get_text("[0]['猎人直播']"), "");
  EXPECT_EQ(json.get_text("[1]['微信精读']"), "");
  EXPECT_EQ(json.count("[0]"), 2);
  EXPECT_EQ(json.get_object("[0]").get_text("投资组合"), "page-b");
}

TEST(JsonObject, BracketPathsJoinWithADotElsewhere) {
  JsonObject json;
  ASSERT_TRUE(json.parse(R"([{"k":"v"}])"));
  EXPECT_EQ(json.get_text("[0]", true), R"({"k":"v"})");
  EXPECT_EQ(json.get_json("[0]"), "");
  EXPECT_EQ(json.type_of("[0]"), -1);
  EXPECT_FALSE(json.has_member("[0]"));
  EXPECT_EQ(json.get_element_text(0, "", true), R"({"k":"v"})");
  EXPECT_EQ(json.get_element_object(0).get_text("k"), "v");
}

TEST(JsonObject, JsonTextForm) {
  struct Case {
    std::string json;
    std::string text;
  };
  const Case cases[] = {
      {R"({"x":{"b":1,"a":[1,"二"]}})", R"({"x":{"b":1,"a":[1,"二"]}})"},
      {R"({ "z" : 1 , "a" : [ ] , "m" : { } })", R"({"z":1,"a":[],"m":{}})"},
      {R"(["\"\\\/\b\t\n\f\r"])", R"(["\"\\/\b\t\n\f\r"])"},
      {R"(["\u0001\u001f\u007f\u009f\u00ad\u0600\u070f\u17b5\u200c\u2028\u202f\u2060\ufeff\ufff0"])",
       R"(["\u0001\u001f\u007f\u009f\u00ad\u0600\u070f\u17b5\u200c\u2028\u202f\u2060\ufeff\ufff0"])"},
      {R"(["\u00e9\u4e2d"])", "[\"\xA8\xA6中\"]"},  // é and 中 raw (é is A8 A6 in GBK)
      {"[100,0.1,1e21,1.5e-7,-0,123456789012345680000,5e-324]",
       "[100,0.1,1e+21,1.5e-7,0,123456789012345680000,5e-324]"},
      {"[true,false,null]", "[true,false,null]"},
      {R"({"a":1,"a":2})", R"({"a":2})"},
  };
  for (const auto& c : cases) {
    JsonObject json;
    ASSERT_TRUE(json.parse(c.json)) << c.json;
    EXPECT_EQ(json.to_text(), c.text) << c.json;
  }
}

TEST(JsonObject, CountsNamesAndKinds) {
  JsonObject json;
  ASSERT_TRUE(json.parse(R"({"a":1,"b":2,"名称":"x","arr":[5,6,7],"o":{},"t":true,"n":null})"));
  EXPECT_EQ(json.count(), 7);
  EXPECT_EQ(json.count("arr"), 3);
  EXPECT_EQ(json.count("o"), 0);
  EXPECT_EQ(json.count("a"), 0);
  EXPECT_EQ(json.count("missing"), 0);

  std::vector<std::string> names{"stale"};
  EXPECT_EQ(json.member_names(names), 7);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "名称", "arr", "o", "t", "n"}));
  EXPECT_EQ(json.member_names(names, "arr"), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"0", "1", "2"}));
  EXPECT_EQ(json.member_names(names, "a"), 0);
  EXPECT_TRUE(names.empty());

  struct Case {
    std::string path;
    int kind;
  };
  const Case kinds[] = {{"", 4},     {"a", 2},       {"名称", 6},  {"arr", 5}, {"o", 4},
                        {"t", 1},    {"n", 0},       {"zz", 0},    {"zz.y", -1}, {"n.y", -1},
                        {"a.y", 0},  {"arr[1]", 2},  {"arr[5]", 0}, {"a b", -1}};
  for (const auto& c : kinds) EXPECT_EQ(json.type_of(c.path), c.kind) << c.path;

  JsonObject array;
  ASSERT_TRUE(array.parse("[5,6,7]"));
  EXPECT_EQ(array.type_of(), 5);
  EXPECT_EQ(array.count(), 3);
}

TEST(JsonObject, CopiesShareTheValueUntilOneParses) {
  JsonObject first;
  ASSERT_TRUE(first.parse(R"({"a":"1"})"));
  JsonObject second = first;
  second.set_text("b", "2");
  EXPECT_EQ(first.get_text("b"), "2");
  ASSERT_TRUE(second.parse(R"({"c":"3"})"));
  EXPECT_EQ(first.to_text(), R"({"a":"1","b":"2"})");
  EXPECT_EQ(second.to_text(), R"({"c":"3"})");

  JsonObject part = first.get_object("a");  // its own value
  part.set_value("changed");
  EXPECT_EQ(first.get_text("a"), "1");
  EXPECT_EQ(first.get_object("missing").to_text(), "");
}

TEST(JsonObject, LocalTextEndsAtItsFirstZeroByte) {
  JsonObject json;
  EXPECT_TRUE(json.parse(std::string("[1]\0garbage", 11)));
  EXPECT_FALSE(json.parse(std::string("[1,\0 2]", 7)));
}

TEST(JsonObject, DeepNestingIsRefusedNotOverflowed) {
  JsonObject json;
  EXPECT_FALSE(json.parse(std::string(100000, '[')));
  EXPECT_FALSE(json.parse(std::string(100000, '[') + std::string(100000, ']')));
  EXPECT_FALSE(json.parse(std::string(513, '[') + std::string(513, ']')));
  ASSERT_TRUE(json.parse(std::string(512, '[') + std::string(512, ']')));
  EXPECT_EQ(json.to_text().size(), 1024u);
  // Setters cannot push a value past the limit either.
  json.push(std::string(512, '[') + std::string(512, ']'), "", true);
  EXPECT_EQ(json.count(), 1);
  EXPECT_TRUE(json.parse("{\"s\":\"" + std::string(1000, '[') + "\"}"));  // brackets in a string
}

}  // namespace
}  // namespace sd
