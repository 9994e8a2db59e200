#include <gtest/gtest.h>

#include <string>

#include "src/protocol/codec.h"

namespace {

using std::string_literals::operator""s;

TEST(Md5, PublishedSuite) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57edf4a22be3c955ac49da2e2107b67a"},
      {"\0"s, "93b885adfe0da089cdf634904fd59f71"},  // bytes, not text: the zero byte counts
  };
  for (const auto& [data, digest] : cases) EXPECT_EQ(sd::md5_hex_lower(data), digest) << data;
}

// md5("abc") = 900150983cd24fb0..., so the check of "abc" is characters 3 to 11: "0150983cd".
// 'A' ^ 0x5A = 0x1B, 'B' ^ 0x5A = 0x18.
struct DescrambleCase {
  std::string scrambled;
  std::string expected;
};

TEST(Descramble, ChecksThenUnmasks) {
  const DescrambleCase cases[] = {
      {"1B180150983cd", "AB"},
      {"1b180150983cd", "AB"},      // body digits of either case
      {"1B1801", ""},              // shorter than 9: the whole text is compared, and fails
      {"1B180150983CD", ""},       // the check is lower case
      {"1B180150983ce", ""},       // wrong check
      {"0150983cd", ""},           // check only: an empty key
      {"1B5A180150983cd", "A"},    // a byte that unmasks to zero ends the text
      {"1B10150983cd", "A["},       // odd body: the lone digit 1 is a byte: 0x01 ^ 0x5A
      {"", ""},
  };
  for (const DescrambleCase& c : cases)
    EXPECT_EQ(sd::descramble_key_with(c.scrambled, "abc", 0x5A), c.expected) << c.scrambled;
}

TEST(Descramble, InvertsScramble) {
  const std::string plains[] = {"Gz7wQ4kR9sTm2xVb", "\xB9\xC9\xB5\xC0\xD6\xC7\xCD\xB6", "x"};
  for (const std::uint8_t constant : {0x00, 0x5A, 0xFF}) {
    for (const std::string& plain : plains) {
      const std::string scrambled = sd::scramble_key_with(plain, "source-2019-0815", constant);
      EXPECT_EQ(scrambled.size(), plain.size() * 2 + 9);
      EXPECT_EQ(sd::descramble_key_with(scrambled, "source-2019-0815", constant), plain);
      EXPECT_EQ(sd::descramble_key_with(scrambled, "source-2019-0816", constant), "");
    }
  }
}

}  // namespace
