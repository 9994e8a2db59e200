#pragma once
// Builds page-address tables the way the account server scrambles them.
#include <cstdio>
#include <string>
#include <string_view>

namespace sd::test {

// Characters 3 to 11 of the lower-case MD5 hex of "5281946073", upper-cased.
inline constexpr std::string_view table_check = "78B9DF931";

inline std::string scramble_table(std::string_view plain, bool lower_hex = false) {
  std::string out;
  for (unsigned char c : plain) {
    char pair[3];
    std::snprintf(pair, sizeof pair, lower_hex ? "%02x" : "%02X", c ^ 0x23u);
    out += pair;
  }
  return out + std::string(table_check);
}

}  // namespace sd::test
