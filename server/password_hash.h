#pragma once
// Salted slow password hashes: PBKDF2-HMAC-SHA256, stored as
// "pbkdf2-sha256$<rounds>$<salt hex>$<hash hex>". Passwords never leave these functions.
#include <string>
#include <string_view>

namespace sd {

std::string hash_password(std::string_view password, int rounds);
// Constant-time comparison; false for a stored text of any other form.
bool verify_password(std::string_view password, std::string_view stored);

}  // namespace sd
