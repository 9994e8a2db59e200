#include <gtest/gtest.h>

#include <string>

#include "src/protocol/codec.h"
#include "tests/codec/openssl_rc4.h"

namespace {

std::string bytes_of_hex(std::string_view hex) {
  std::string out;
  for (std::size_t n = 0; n + 1 < hex.size(); n += 2)
    out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(n, 2)), nullptr, 16)));
  return out;
}

struct Rc4Vector {
  const char* key_hex;
  std::size_t offset;
  const char* keystream_hex;  // 16 bytes of keystream at offset
};

// Published test vectors for RC4 (keystream over zero bytes, nothing dropped).
const Rc4Vector kVectors[] = {
    {"0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8"},
    {"0102030405", 16, "6982944f18fc82d589c403a47a0d0919"},
    {"0102030405", 4096, "ff25b58995996707e51fbdf08b34d875"},
    {"0102030405060708090a0b0c0d0e0f10", 0, "9ac7cc9a609d1ef7b2932899cde41b97"},
    {"0102030405060708090a0b0c0d0e0f10", 16, "5248c4959014126a6e8a84f11d1a9e1c"},
    {"0102030405060708090a0b0c0d0e0f10", 4096, "a36a4c301ae8ac13610ccbc12256cacc"},
};

TEST(Rc4, PublishedKeystreamVectors) {
  for (const Rc4Vector& v : kVectors) {
    const std::string key = bytes_of_hex(v.key_hex);
    const std::string stream = sd::rc4_transform(std::string(v.offset + 16, '\0'), key);
    EXPECT_EQ(stream.substr(v.offset), bytes_of_hex(v.keystream_hex))
        << "key " << v.key_hex << " offset " << v.offset;
  }
}

TEST(Rc4, AgreesWithOpenSsl) {
  // Keys of 1 to 256 bytes (a GBK two-byte key among them) over data of assorted lengths.
  const std::string keys[] = {"k", "Gz7wQ4kR9sTm2xVb", "\xD6\xD0\xCE\xC4\x35", std::string(256, '\xA7'),
                              std::string("a\0b", 3)};
  std::string data;
  for (int n = 0; n < 1000; ++n) data.push_back(static_cast<char>(n * 37 + 11));
  for (const std::string& key : keys) {
    for (const std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{255}, data.size()}) {
      const auto expected = sd::testing::openssl_rc4(data.substr(0, length), key);
      if (!expected) GTEST_SKIP() << "OpenSSL's legacy provider is not available";
      EXPECT_EQ(sd::rc4_transform(data.substr(0, length), key), *expected);
    }
  }
}

TEST(Rc4, TwiceGivesBackTheData) {
  const std::string data("\x00\x01\xFF body \xD6\xD0", 11);
  EXPECT_EQ(sd::rc4_transform(sd::rc4_transform(data, "key"), "key"), data);
  EXPECT_EQ(sd::rc4_transform("", "key"), "");
}

TEST(Rc4, EmptyKeyLeavesTheDataUnchanged) {
  const std::string data("\x00plain\xFF", 7);
  EXPECT_EQ(sd::rc4_transform(data, ""), data);
  EXPECT_EQ(sd::rc4_transform("", ""), "");
}

}  // namespace
