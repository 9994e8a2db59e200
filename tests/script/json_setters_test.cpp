// Changing JSON values: setters, arrays, members, whole-value operations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "src/script/json_object.h"

namespace sd {
namespace {

TEST(JsonObjectSetters, PlainValuesAreStoredAsGiven) {
  const std::string awkward[] = {"it's", "back\\slash", "line\nbreak\r\n", "\"quoted\"", "'); x('", "中文\t"};
  for (const auto& value : awkward) {
    JsonObject json;
    json.set_text("a", value);
    json.push(value, "list");
    EXPECT_EQ(json.get_text("a"), value);
    EXPECT_EQ(json.get_element_text(0, "list"), value);

    JsonObject copy;
    ASSERT_TRUE(copy.parse(json.to_text())) << json.to_text();
    EXPECT_EQ(copy.get_text("a"), value);

    JsonObject array;
    array.reset(5);
    array.set_element(1, value);
    EXPECT_EQ(array.get_element_text(1), value);
    EXPECT_EQ(array.get_element_text(0, "", true), "null");

    JsonObject whole;
    whole.set_value(value);
    EXPECT_EQ(whole.type_of(), 6);
    EXPECT_EQ(whole.get_text(""), value);
  }
}

TEST(JsonObjectSetters, RawValuesAndJsonTexts) {
  JsonObject json;
  json.set_text("o", R"({"k":[1,2]})", true);
  json.set_text("e", "", true);
  json.set_text("bad", "{oops", true);
  json.set_json("j", R"(["二",true])");
  json.set_json("bad2", "not json");
  json.push("3", "o.k", true);
  json.push("{\"z\":null}", "o.k", true);
  json.push("]", "o.k", true);
  EXPECT_EQ(json.to_text(), R"({"o":{"k":[1,2,3,{"z":null}]},"e":{},"j":["二",true]})");

  json.set_value("[1,2,3,4]", true);
  json.remove_element(1);
  json.remove_element(-1);
  json.remove_element(7);
  EXPECT_EQ(json.to_text(), "[1,3]");
  json.set_element(3, "true", true);
  EXPECT_EQ(json.to_text(), "[1,3,null,true]");
  json.set_value("{bad", true);
  EXPECT_EQ(json.to_text(), "[1,3,null,true]");
}

TEST(JsonObjectSetters, NumbersKeepThirteenDigits) {
  JsonObject json;
  json.set_number("pi", 3.14159265358979);
  json.set_number("n", 1700000000);
  json.set_number("inf", std::numeric_limits<double>::infinity());
  json.set_number("nan", std::nan(""));
  EXPECT_EQ(json.to_text(), R"({"pi":3.14159265359,"n":1700000000})");
  EXPECT_EQ(json.get_number("pi"), 3.14159265359);
}

TEST(JsonObjectSetters, PathsThatCannotBeWrittenChangeNothing) {
  JsonObject json;
  ASSERT_TRUE(json.parse(R"({"s":"x","n":null,"a":[0]})"));
  const std::string before = json.to_text();
  for (std::string path : {"missing.b", "n.b", "s.b", "a.name", "[0]", "a b", "a[2000000]"}) {
    json.set_text(path, "v");
    json.set_number(path, 1);
    json.push("v", path);
    EXPECT_EQ(json.to_text(), before) << path;
  }
  json.set_text("a[2]", "v");
  EXPECT_EQ(json.get_text("a", true), R"([0,null,"v"])");
}

TEST(JsonObjectSetters, MembersAndWholeValue) {
  JsonObject json;
  ASSERT_TRUE(json.parse(R"({"a":1,"b":{"c":2},"n":null,"l":[1,2]})"));
  EXPECT_TRUE(json.has_member("a"));
  EXPECT_TRUE(json.has_member("b.c"));
  EXPECT_FALSE(json.has_member("n"));
  EXPECT_FALSE(json.has_member("zz"));
  EXPECT_FALSE(json.has_member("zz.y"));
  json.delete_member("b.c");
  json.delete_member("a");
  json.delete_member("l[0]");
  json.delete_member("missing.x");
  EXPECT_EQ(json.to_text(), R"({"b":{},"n":null,"l":[null,2]})");
  json.set_text("a", "again");
  EXPECT_EQ(json.to_text(), R"({"b":{},"n":null,"l":[null,2],"a":"again"})");

  json.reset(5);
  EXPECT_EQ(json.to_text(), "[]");
  json.reset(3);
  EXPECT_EQ(json.to_text(), "[]");
  json.reset(0);
  EXPECT_EQ(json.to_text(), "{}");
  json.push("x");
  EXPECT_EQ(json.to_text(), R"(["x"])");
  json.clear();
  EXPECT_EQ(json.to_text(), "{}");

  ASSERT_FALSE(json.parse(""));
  json.set_text("a", "v");  // no value to change
  EXPECT_EQ(json.to_text(), "");
  json.clear();
  json.set_text("a", "v");
  EXPECT_EQ(json.to_text(), R"({"a":"v"})");
}

}  // namespace
}  // namespace sd
