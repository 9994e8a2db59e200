#pragma once
// The request/reply envelope: RC4, hexadecimal, MD5 and the three envelope operations.
// Byte strings are std::string; where bytes become text they end at the first zero byte.
#include <cstdint>
#include <string>
#include <string_view>

namespace sd {

std::string rc4_transform(std::string_view data, std::string_view key);
std::string hex_encode(std::string_view data);
std::string hex_decode(std::string_view text);        // tolerant: spaces removed, odd tail, bad digits = -2
std::string hex_decode_pairs(std::string_view text);  // pairwise: odd tail ignored
std::string md5_hex_lower(std::string_view data);

// Descrambles with an explicit constant; "" when the 9-character check does not match.
std::string descramble_key_with(std::string_view scrambled, std::string_view check_source,
                                std::uint8_t constant);
// Inverse of descramble_key_with: hex of (plain XOR constant) + its 9-character check.
std::string scramble_key_with(std::string_view plain, std::string_view check_source,
                              std::uint8_t constant);

std::uint32_t random_in_range(std::int32_t min, std::int32_t max);
std::string reply_key(std::string_view client_random);
std::string seal_request(std::string_view body, std::string_view request_key, std::string_view server_random);
std::string open_reply(std::string_view data, std::string_view request_key, std::string_view reply_key);

// With the built-in deployment's constant and request key (defined with the deployment).
std::string descramble_key(std::string_view scrambled, std::string_view check_source);
std::string request_key();
std::string open_server_random(std::string_view data);

}  // namespace sd
