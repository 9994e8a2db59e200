#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "src/protocol/codec.h"
#include "tests/codec/openssl_rc4.h"

namespace {

using std::string_literals::operator""s;

// The account server's side of the envelope, written apart from the client's codec.
std::string server_hex(std::string_view bytes, bool upper = true) {
  std::string out;
  char pair[3];
  for (const char c : bytes) {
    std::snprintf(pair, sizeof pair, upper ? "%02X" : "%02x", static_cast<unsigned char>(c));
    out += pair;
  }
  return out;
}

std::string server_unhex(std::string_view hex) {
  std::string out;
  for (std::size_t n = 0; n + 1 < hex.size(); n += 2)
    out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(n, 2)), nullptr, 16)));
  return out;
}

std::string server_rc4(std::string_view data, std::string_view key) {
  const auto out = sd::testing::openssl_rc4(data, key);
  return out ? *out : std::string("<no OpenSSL RC4>");
}

const char kRequestKey[] = "Gz7wQ4kR9sTm2xVb";

TEST(Envelope, SealedRequestOpensOnTheServer) {
  if (!sd::testing::openssl_rc4("x", "k")) GTEST_SKIP() << "OpenSSL's legacy provider is not available";
  // GBK body: "中文" is D6 D0 CE C4.
  const std::string body = "{\"rand\":\"4821\",\"funname\":\"login\",\"param\":{\"user\":\"\xD6\xD0\xCE\xC4\"}}";
  const std::string sealed = sd::seal_request(body, kRequestKey, "83920174");
  EXPECT_EQ(sealed.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  const std::string inner_hex = server_rc4(server_unhex(sealed), "83920174");
  EXPECT_EQ(server_rc4(server_unhex(inner_hex), kRequestKey), body);
}

TEST(Envelope, ServerReplyOpens) {
  if (!sd::testing::openssl_rc4("x", "k")) GTEST_SKIP() << "OpenSSL's legacy provider is not available";
  const std::string json = "{\"token\":\"t-1\",\"name\":\"\xE4\xB8\xAD\xE6\x96\x87\"}";  // UTF-8
  const std::string key = sd::reply_key("4821");
  ASSERT_EQ(key, "2458710");
  for (const bool upper : {true, false}) {
    const std::string inner = server_hex(server_rc4(json, key), upper);
    const std::string data = server_hex(server_rc4(inner, kRequestKey), upper);
    EXPECT_EQ(sd::open_reply(data, kRequestKey, key), json);
    EXPECT_EQ(sd::open_reply(data, kRequestKey, sd::reply_key("4822")) == json, false);
  }
  // The first layer opens to a text with a zero byte: only the part before it counts.
  const std::string inner = server_hex(server_rc4(json, key)) + "\0"s + "GARBAGE";
  const std::string data = server_hex(server_rc4(inner, kRequestKey));
  EXPECT_EQ(sd::open_reply(data, kRequestKey, key), json);
  EXPECT_EQ(sd::open_reply("", kRequestKey, key), "");
}

TEST(Envelope, ReplyKeyIsTheRandomTimes510) {
  const std::pair<const char*, const char*> cases[] = {
      {"1000", "510000"}, {"1960", "999600"},       {"1961", "1000110"}, {"9999", "5099490"},
      {"0042", "21420"},  {"4294967295", "2190433320450"},
      // Not an unsigned decimal integer: read as 0.
      {"", "0"},          {"abc", "0"},             {"-5", "0"},         {"+5", "0"},
      {"12a", "0"},       {" 12", "0"},             {"4294967296", "0"},
  };
  for (const auto& [random, key] : cases) EXPECT_EQ(sd::reply_key(random), key) << random;
}

TEST(Envelope, RandomStaysInItsRange) {
  for (int n = 0; n < 20000; ++n) {
    const std::uint32_t r = sd::random_in_range(1000, 9999);
    ASSERT_GE(r, 1000u);
    ASSERT_LE(r, 9999u);
  }
  EXPECT_EQ(sd::random_in_range(7, 7), 7u);
  for (int n = 0; n < 100; ++n) {
    const std::uint32_t swapped = sd::random_in_range(9, 3);  // bounds the other way round
    ASSERT_GE(swapped, 3u);
    ASSERT_LE(swapped, 9u);
    const auto negative = static_cast<std::int32_t>(sd::random_in_range(-10, -5));
    ASSERT_GE(negative, -10);
    ASSERT_LE(negative, -5);
  }
  // The whole 32-bit range: no division by zero.
  const auto full = static_cast<std::int32_t>(sd::random_in_range(INT_MIN, INT_MAX));
  EXPECT_LE(full, INT_MIN + 32767);
}

}  // namespace
