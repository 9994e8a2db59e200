#include "src/http/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace sd {
namespace {

using namespace std::string_literals;

TEST(CodePage, LocalToUtf16AndBack) {
  // local text, UTF-16LE with its zero unit
  const std::vector<std::tuple<std::string, std::string>> cases = {
      {"A", "A\0\0\0"s},
      {"", ""},
      {"\x80", "\xAC\x20\0\0"s},          // euro sign
      {"\xA1\xA1", "\x00\x30\0\0"s},      // full-width space
      {"中", "\x2D\x4E\0\0"s},
      {"a\0b"s, "a\0\0\0"s},              // a local text ends at its zero byte
  };
  for (const auto& [local, utf16] : cases) {
    SCOPED_TRACE(testing::PrintToString(local));
    EXPECT_EQ(to_utf16(local), utf16);
    EXPECT_EQ(from_utf16(utf16), local == "a\0b"s ? "a" : local);
  }
}

TEST(CodePage, BadInputIsReplacedOncePerUnit) {
  EXPECT_EQ(to_utf16("\x81"), "\xFD\xFF\0\0"s);                  // lead byte cut off
  EXPECT_EQ(to_utf16("\x81\x30"), "\xFD\xFF\x30\0\0\0"s);        // bad pair keeps its ASCII
  EXPECT_EQ(from_utf16("\x01\x0E"s), "?");                      // Thai: not in the code page
  EXPECT_EQ(from_utf16("\x00\xD8" "A\0"s), "?A");               // lone surrogate
  EXPECT_EQ(utf8_to_local("a\xFF" "b"), "a?b");
  EXPECT_EQ(utf8_to_local("\xE4\xB8"), "?");                     // truncated sequence
  EXPECT_EQ(utf8_to_local("\xF0\x9F\x98\x80!"), "?!");           // outside the code page
  EXPECT_EQ(decode_code_page("\xFF"), "\xFD\xFF\0\0"s);
}

TEST(CodePage, Utf16ZeroUnitsAndOddBytes) {
  EXPECT_EQ(from_utf16("A\0\0\0B\0"s), "A");
  EXPECT_EQ(from_utf16(""), "");
  EXPECT_EQ(from_utf16("A\0B"s), "A");                           // trailing odd byte ignored
  EXPECT_EQ(encode_code_page("A\0\0\0B\0"s), "A");
  EXPECT_EQ(encode_code_page(""), "");
  // A base letter and a combining acute accent become the precomposed letter (A8 A6).
  EXPECT_EQ(from_utf16("e\0\x01\x03"s), "\xA8\xA6");
}

TEST(CodePage, GeneralPair) {
  EXPECT_EQ(decode_code_page(""), "\0\0"s);
  EXPECT_EQ(decode_code_page("\xE4\xB8\xAD"), "\x2D\x4E\0\0"s);
  EXPECT_EQ(decode_code_page("\xD6\xD0", 936), "\x2D\x4E\0\0"s);
  EXPECT_EQ(decode_code_page("\xD6\xD0", 0), "\x2D\x4E\0\0"s);
  EXPECT_EQ(decode_code_page("a\0b"s), "a\0\0\0"s);
  EXPECT_EQ(decode_code_page("\xE9", 1252), "\xE9\0\0\0"s);
  EXPECT_EQ(encode_code_page("\x2D\x4E"s), "\xD6\xD0");
  EXPECT_EQ(encode_code_page("\x2D\x4E"s, 936), "\xD6\xD0");
  EXPECT_EQ(encode_code_page("\x2D\x4E"s, 65001), "\xE4\xB8\xAD");
  EXPECT_EQ(encode_code_page("\xAC\x20"s, 0), "\x80");
}

TEST(CodePage, Utf8AndLocal) {
  // UTF-8, local
  const std::vector<std::tuple<std::string, std::string>> cases = {
      {"\xE4\xB8\xAD", "\xD6\xD0"},
      {"", ""},
      {"plain ascii {}", "plain ascii {}"},
      {"\xE2\x82\xAC", "\x80"},
      {"\xE3\x80\x80", "\xA1\xA1"},
      {"\xE9\x94\x99\xE8\xAF\xAF\xEF\xBC\x9A", "错误："},
  };
  for (const auto& [utf8, local] : cases) {
    SCOPED_TRACE(testing::PrintToString(utf8));
    EXPECT_EQ(utf8_to_local(utf8), local);
    EXPECT_EQ(local_to_utf8(local), utf8);
  }
  EXPECT_EQ(utf8_to_local("ab\0\xE4\xB8\xAD"s), "ab");
}

TEST(CodePage, NamedCharsets) {
  std::string out = "untouched";
  EXPECT_TRUE(decode_named_charset("\xA4\xA4" "1", "big5", out));
  EXPECT_EQ(out, "\xD6\xD0" "1");
  EXPECT_TRUE(decode_named_charset("\xE4\xB8\xAD", "UTF-8", out));
  EXPECT_EQ(out, "\xD6\xD0");
  EXPECT_TRUE(decode_named_charset("\x2D\x4E" "A\0"s, "utf-16le", out));
  EXPECT_EQ(out, "\xD6\xD0" "A");
  // SCSU: after a window on U+1F600 each byte is a character outside the basic plane,
  // two UTF-16 units per byte.
  EXPECT_TRUE(decode_named_charset("\x0B\x01\xEC" + std::string(100, '\x80'), "scsu", out));
  EXPECT_EQ(out, std::string(100, '?'));
  EXPECT_TRUE(decode_named_charset("\xD6\xD0", "gbk", out));
  EXPECT_EQ(out, "\xD6\xD0");

  out = "untouched";
  for (const char* name : {"no-such-charset", "", "../../tmp/x", "utf-8,swaplfnl", "utf 8"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(decode_named_charset("abc", name, out));
    EXPECT_EQ(out, "untouched");
  }
}

TEST(CodePage, ThreadsConvertIndependently) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 300; ++i) {
        if (utf8_to_local("\xE4\xB8\xAD" "x") != "\xD6\xD0" "x") ++failures[t];
        if (from_utf16(to_utf16("\x80\xA1\xA1")) != "\x80\xA1\xA1") ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace sd
