#include <cstdint>

#include "src/http/text.h"
#include "src/platform/md5.h"
#include "src/protocol/codec.h"

namespace sd {
namespace {

constexpr std::size_t kCheckLength = 9;

// Characters 3 to 11 of the lower-case MD5 of check_source: the check a stored key ends with.
// Empty when the digest cannot be computed.
std::string check_of(std::string_view check_source) {
  const std::string digest = md5_hex_lower(check_source);
  if (digest.size() != 32) return {};
  return digest.substr(2, kCheckLength);
}

int table_digit(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -2;
}

}  // namespace

std::string md5_hex_lower(std::string_view data) {
  const std::string digest = platform::md5_digest(data);
  if (digest.size() != 16) return {};
  static constexpr char kLower[] = "0123456789abcdef";
  std::string out(32, '\0');
  for (std::size_t n = 0; n < 16; ++n) {
    const auto byte = static_cast<std::uint8_t>(digest[n]);
    out[2 * n] = kLower[byte >> 4];
    out[2 * n + 1] = kLower[byte & 0x0F];
  }
  return out;
}

std::string descramble_key_with(std::string_view scrambled, std::string_view check_source,
                                std::uint8_t constant) {
  const std::size_t body_length =
      scrambled.size() > kCheckLength ? scrambled.size() - kCheckLength : 0;
  const std::string_view tail = scrambled.substr(body_length);
  const std::string check = check_of(check_source);
  // A digest that cannot be computed never vouches for a key.
  if (check.empty() || tail != check) return {};

  const std::string_view body = scrambled.substr(0, body_length);
  std::string out;
  out.reserve(body.size() / 2 + 1);
  for (std::size_t n = 0; n < body.size(); n += 2) {
    int value = table_digit(body[n]);
    if (n + 1 < body.size()) value = value * 16 + table_digit(body[n + 1]);
    out.push_back(static_cast<char>(static_cast<std::uint8_t>(value & 0xFF) ^ constant));
  }
  return text_of(out);
}

std::string scramble_key_with(std::string_view plain, std::string_view check_source,
                              std::uint8_t constant) {
  const std::string check = check_of(check_source);
  if (check.empty()) return {};
  std::string masked(plain);
  for (char& c : masked) c = static_cast<char>(static_cast<std::uint8_t>(c) ^ constant);
  return hex_encode(masked) + check;
}

}  // namespace sd
