#pragma once
// RC4 from OpenSSL's legacy provider: an independent implementation to check ours against.
#include <optional>
#include <string>
#include <string_view>

namespace sd::testing {
// nullopt when the legacy provider or the cipher is not available.
std::optional<std::string> openssl_rc4(std::string_view data, std::string_view key);
}  // namespace sd::testing
