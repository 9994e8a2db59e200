#include <cstdint>

#include "src/http/text.h"
#include "src/protocol/codec.h"

namespace sd {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Position of c in "0123456789ABCDEF" regardless of ASCII case, or -2 when it is not there.
int digit_or_minus_two(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -2;
}

char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string hex_encode(std::string_view data) {
  std::string out(data.size() * 2, '\0');
  std::size_t n = 0;
  for (const char c : data) {
    const auto byte = static_cast<std::uint8_t>(c);
    out[n++] = kDigits[byte >> 4];
    out[n++] = kDigits[byte & 0x0F];
  }
  return out;
}

// Spaces (0x20 and the full-width A1 A1) are removed first; then groups of two characters, the
// last one alone when the length is odd; a character outside the digit table counts as -2 and the
// byte is the low eight bits of the group's value.
std::string hex_decode(std::string_view text) {
  const std::string compact = remove_spaces(text);
  std::string out;
  out.reserve(compact.size() / 2 + 1);
  for (std::size_t n = 0; n < compact.size(); n += 2) {
    int value = digit_or_minus_two(compact[n]);
    if (n + 1 < compact.size()) value = value * 16 + digit_or_minus_two(compact[n + 1]);
    out.push_back(static_cast<char>(static_cast<std::uint8_t>(value & 0xFF)));
  }
  return out;
}

// Whole pairs only; a character that is not A-F (after upper-casing) is taken as code - '0',
// unchecked, and the byte is the low eight bits of first * 16 + second.
std::string hex_decode_pairs(std::string_view text) {
  const std::size_t pairs = text.size() / 2;
  std::string out(pairs, '\0');
  for (std::size_t n = 0; n < pairs; ++n) {
    int digits[2];
    for (int half = 0; half < 2; ++half) {
      const auto c = static_cast<std::uint8_t>(ascii_upper(text[2 * n + half]));
      digits[half] = (c >= 'A' && c <= 'F') ? c - 'A' + 10 : c - '0';
    }
    out[n] = static_cast<char>(static_cast<std::uint8_t>((digits[0] * 16 + digits[1]) & 0xFF));
  }
  return out;
}

}  // namespace sd
