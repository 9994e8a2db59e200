#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
  unsigned j = 0;
  std::size_t key_index = 0;
  for (unsigned n = 0; n < 256; ++n) {
    const std::uint8_t value = s[n];
    j = (j + value + k[key_index]) & 0xFFu;
    s[n] = s[j];
    s[j] = value;
    if (++key_index == key_length) key_index = 0;
  }

  // The keystream, one byte per call; i and j stay in registers once this is inlined.
  unsigned i = 0;
  j = 0;
  auto next = [&]() -> std::uint8_t {
    i = (i + 1) & 0xFFu;
    const std::uint8_t si = s[i];
    j = (j + si) & 0xFFu;
    const std::uint8_t sj = s[j];
    s[i] = sj;
    s[j] = si;
    return s[(si + sj) & 0xFFu];
  };

  auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
  const std::size_t count = out.size();
  std::size_t n = 0;
  // Eight bytes at a time: the keystream gathered in a word, one load, XOR and store per word.
  for (; n + 8 <= count; n += 8) {
    std::uint64_t stream = next();
    stream |= std::uint64_t{next()} << 8;
    stream |= std::uint64_t{next()} << 16;
    stream |= std::uint64_t{next()} << 24;
    stream |= std::uint64_t{next()} << 32;
    stream |= std::uint64_t{next()} << 40;
    stream |= std::uint64_t{next()} << 48;
    stream |= std::uint64_t{next()} << 56;
    if constexpr (std::endian::native == std::endian::big) stream = __builtin_bswap64(stream);
    std::uint64_t word;
    std::memcpy(&word, bytes + n, 8);
    word ^= stream;
    std::memcpy(bytes + n, &word, 8);
  }
  for (; n < count; ++n) bytes[n] ^= next();
  return out;
}

}  // namespace sd
