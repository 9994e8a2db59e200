#include <gtest/gtest.h>

#include <string>

#include "src/protocol/codec.h"

namespace {

using std::string_literals::operator""s;

TEST(Hex, EncodeIsUpperCaseHighNibbleFirst) {
  EXPECT_EQ(sd::hex_encode("\x00\x0F\xA0\xFF"s), "000FA0FF");
  EXPECT_EQ(sd::hex_encode(""), "");
}

struct DecodeCase {
  std::string text;
  std::string tolerant;  // hex_decode
  std::string pairs;     // hex_decode_pairs
};

TEST(Hex, DecodersOnWellFormedAndMalformedText) {
  const DecodeCase cases[] = {
      {"", "", ""},
      {"4a0F", "\x4A\x0F"s, "\x4A\x0F"s},
      {"4a 0F", "\x4A\x0F"s, "\x4A\x00"s},  // pairs: "4a", then " 0": (' ' - '0') * 16 = -256
      {"ABC", "\xAB\x0C"s, "\xAB"s},
      {"7", "\x07"s, ""},
      {"410042", "A\0B"s, "A\0B"s},
      {"4\xA1\xA1"
       "A",
       "\x4A"s, "\xB1\x1A"s},  // the full-width space goes too; pairs take 0xA1 as 0xA1 - '0'
      {"4\tA", "\x3E\x0A"s, "\x19"s},  // a tab stays and counts -2; pairs: 4 * 16 + ('\t' - '0')
      {"zz", "\xDE"s, "\xCA"s},  // -2 * 16 - 2 = -34; pairs: 'Z' - '0' = 42, 42 * 16 + 42 = 714
      {"ff", "\xFF"s, "\xFF"s},
  };
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(sd::hex_decode(c.text), c.tolerant) << "hex_decode of \"" << c.text << "\"";
    EXPECT_EQ(sd::hex_decode_pairs(c.text), c.pairs) << "hex_decode_pairs of \"" << c.text << "\"";
  }
}

TEST(Hex, RoundTripOverEveryByte) {
  std::string all;
  for (int n = 0; n < 256; ++n) all.push_back(static_cast<char>(n));
  EXPECT_EQ(sd::hex_decode(sd::hex_encode(all)), all);
  EXPECT_EQ(sd::hex_decode_pairs(sd::hex_encode(all)), all);
}

}  // namespace
