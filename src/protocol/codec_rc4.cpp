#include <cstddef>
#include <cstdint>

#include "src/protocol/codec.h"

namespace sd {

// RC4 as commonly published, no keystream bytes dropped.
//
// An empty key has no key schedule (every schedule step would index the key modulo zero), so it
// is defined here as the identity: the data comes back unchanged. The request exchange never
// seals with an empty key on purpose; it refuses a handshake that gave no usable server random.
std::string rc4_transform(std::string_view data, std::string_view key) {
  std::string out(data);
  if (key.empty()) return out;

  std::uint8_t s[256];
  for (int n = 0; n < 256; ++n) s[n] = static_cast<std::uint8_t>(n);
  const auto* k = reinterpret_cast<const std::uint8_t*>(key.data());
  const std::size_t key_length = key.size();
  std::uint8_t j = 0;
  std::size_t key_index = 0;
  for (int n = 0; n < 256; ++n) {
    const std::uint8_t value = s[n];
    j = static_cast<std::uint8_t>(j + value + k[key_index]);
    s[n] = s[j];
    s[j] = value;
    if (++key_index == key_length) key_index = 0;
  }

  auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
  const std::size_t count = out.size();
  std::uint8_t i = 0;
  j = 0;
  for (std::size_t n = 0; n < count; ++n) {
    i = static_cast<std::uint8_t>(i + 1);
    const std::uint8_t si = s[i];
    j = static_cast<std::uint8_t>(j + si);
    const std::uint8_t sj = s[j];
    s[i] = sj;
    s[j] = si;
    bytes[n] ^= s[static_cast<std::uint8_t>(si + sj)];
  }
  return out;
}

}  // namespace sd
