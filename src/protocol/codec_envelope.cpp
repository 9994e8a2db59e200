#include <charconv>
#include <cstdint>

#include "src/http/text.h"
#include "src/platform/counter.h"
#include "src/protocol/codec.h"

namespace sd {

// A linear-congruential step over the low 32 bits of the cycle counter. When max is below min
// the two bounds are taken the other way round; the full 32-bit range needs no division.
std::uint32_t random_in_range(std::int32_t min, std::int32_t max) {
  if (max < min) {
    const std::int32_t swap = min;
    min = max;
    max = swap;
  }
  const std::uint32_t seed = platform::cycle_counter_low32();
  const std::uint32_t x = seed * 214013u + 2531011u;
  const std::uint32_t v = (x >> 16) & 0x7FFFu;
  const std::uint32_t low = static_cast<std::uint32_t>(min);
  const std::uint32_t span = static_cast<std::uint32_t>(max) - low + 1u;  // 0: all 2^32 values
  return low + (span == 0 ? v : v % span);
}

// The client random is read as an unsigned decimal integer made of digits only; any other text
// (empty, signed, with spaces or other characters, or above 4294967295) reads as 0.
std::string reply_key(std::string_view client_random) {
  std::uint32_t r = 0;
  const char* first = client_random.data();
  const char* last = first + client_random.size();
  const bool digits_only = !client_random.empty() && client_random.front() >= '0' &&
                           client_random.front() <= '9';
  if (digits_only) {
    const auto [end, error] = std::from_chars(first, last, r);
    if (error != std::errc() || end != last) r = 0;
  }
  const std::uint64_t key = static_cast<std::uint64_t>(r) * 510u;
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, key);
  return std::string(buffer, result.ptr);
}

std::string seal_request(std::string_view body, std::string_view request_key,
                         std::string_view server_random) {
  const std::string inner = hex_encode(rc4_transform(body, request_key));
  return hex_encode(rc4_transform(inner, server_random));
}

std::string open_reply(std::string_view data, std::string_view request_key,
                       std::string_view reply_key) {
  const std::string outer = text_of(rc4_transform(hex_decode(data), request_key));
  return text_of(rc4_transform(hex_decode(outer), reply_key));
}

}  // namespace sd
