#include "server/password_hash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <charconv>
#include <cstdlib>

#include "src/protocol/codec.h"

namespace sd {
namespace {

constexpr std::string_view scheme = "pbkdf2-sha256";
constexpr int hash_bytes = 32;
constexpr int salt_bytes = 16;
constexpr int max_rounds = 10'000'000;

bool derive(std::string_view password, std::string_view salt, int rounds, std::string& out) {
  std::array<unsigned char, hash_bytes> hash{};
  if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                        reinterpret_cast<const unsigned char*>(salt.data()),
                        static_cast<int>(salt.size()), rounds, EVP_sha256(), hash_bytes,
                        hash.data()) != 1)
    return false;
  out.assign(reinterpret_cast<const char*>(hash.data()), hash.size());
  return true;
}

}  // namespace

std::string hash_password(std::string_view password, int rounds) {
  if (rounds < 1) rounds = 1;
  std::array<unsigned char, salt_bytes> salt{};
  if (RAND_bytes(salt.data(), salt_bytes) != 1) std::abort();
  const std::string salt_text(reinterpret_cast<const char*>(salt.data()), salt.size());
  std::string hash;
  if (!derive(password, salt_text, rounds, hash)) return {};
  return std::string(scheme) + "$" + std::to_string(rounds) + "$" + hex_encode(salt_text) + "$" +
         hex_encode(hash);
}

bool verify_password(std::string_view password, std::string_view stored) {
  // scheme $ rounds $ salt $ hash
  std::string_view parts[4];
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t end = i == 3 ? stored.size() : stored.find('$', start);
    if (end == std::string_view::npos) return false;
    parts[i] = stored.substr(start, end - start);
    start = end + 1;
  }
  if (parts[0] != scheme) return false;
  int rounds = 0;
  const auto [ptr, ec] = std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), rounds);
  if (ec != std::errc() || ptr != parts[1].data() + parts[1].size() || rounds < 1 ||
      rounds > max_rounds)
    return false;
  if (parts[2].size() != salt_bytes * 2 || parts[3].size() != hash_bytes * 2) return false;
  const std::string salt = hex_decode(parts[2]);
  const std::string expected = hex_decode(parts[3]);
  std::string actual;
  if (!derive(password, salt, rounds, actual) || actual.size() != expected.size()) return false;
  return CRYPTO_memcmp(actual.data(), expected.data(), actual.size()) == 0;
}

}  // namespace sd
