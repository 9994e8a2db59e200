#include "server/envelope.h"

#include <openssl/rand.h>

#include <array>
#include <cstdint>
#include <cstdlib>

#include "src/protocol/codec.h"

namespace sd {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void fill_random(unsigned char* out, int count) {
  if (RAND_bytes(out, count) != 1) {
    // The generator failed (no entropy source): never hand out a guessable value.
    std::abort();
  }
}

}  // namespace

std::string draw_server_random() {
  static constexpr std::string_view alphabet =
      "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::string out;
  out.reserve(server_random_length);
  while (out.size() < server_random_length) {
    std::array<unsigned char, 16> bytes{};
    fill_random(bytes.data(), static_cast<int>(bytes.size()));
    for (unsigned char b : bytes) {
      if (b >= 248) continue;  // 248 = 4 * 62: keep the draw uniform
      out.push_back(alphabet[b % 62]);
      if (out.size() == server_random_length) break;
    }
  }
  return out;
}

std::string draw_random_hex128() {
  std::array<unsigned char, 16> bytes{};
  fill_random(bytes.data(), static_cast<int>(bytes.size()));
  static constexpr char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

std::string handshake_reply(std::string_view server_random, std::string_view request_key) {
  return "{\"code\":0,\"data\":\"" + hex_encode(rc4_transform(server_random, request_key)) + "\"}";
}

bool is_hex_text(std::string_view text) {
  if (text.empty() || text.size() % 2 != 0) return false;
  for (char c : text)
    if (hex_digit(c) < 0) return false;
  return true;
}

bool open_request(std::string_view sealed, std::string_view request_key,
                  std::string_view server_random, std::string& plain) {
  if (!is_hex_text(sealed) || server_random.empty() || request_key.empty()) return false;
  const std::string inner = rc4_transform(hex_decode(sealed), server_random);
  if (!is_hex_text(inner)) return false;
  plain = rc4_transform(hex_decode(inner), request_key);
  return true;
}

std::string seal_reply(std::string_view json_utf8, std::string_view request_key,
                       std::string_view client_random) {
  const std::string inner = hex_encode(rc4_transform(json_utf8, reply_key(client_random)));
  return hex_encode(rc4_transform(inner, request_key));
}

std::string percent_decode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 &&
        hex_digit(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace sd
