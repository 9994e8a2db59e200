#include "tests/codec/openssl_rc4.h"

#include <openssl/evp.h>
#include <openssl/provider.h>

namespace sd::testing {

std::optional<std::string> openssl_rc4(std::string_view data, std::string_view key) {
  static OSSL_PROVIDER* const legacy = OSSL_PROVIDER_load(nullptr, "legacy");
  static OSSL_PROVIDER* const standard = OSSL_PROVIDER_load(nullptr, "default");
  static EVP_CIPHER* const cipher = EVP_CIPHER_fetch(nullptr, "RC4", nullptr);
  if (legacy == nullptr || standard == nullptr || cipher == nullptr || key.empty())
    return std::nullopt;
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  std::string out(data.size(), '\0');
  int length = 0;
  const bool ok =
      context != nullptr &&
      EVP_EncryptInit_ex(context, cipher, nullptr, nullptr, nullptr) == 1 &&
      EVP_CIPHER_CTX_set_key_length(context, static_cast<int>(key.size())) == 1 &&
      EVP_EncryptInit_ex(context, nullptr, nullptr,
                         reinterpret_cast<const unsigned char*>(key.data()), nullptr) == 1 &&
      EVP_EncryptUpdate(context, reinterpret_cast<unsigned char*>(out.data()), &length,
                        reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size())) == 1;
  EVP_CIPHER_CTX_free(context);
  if (!ok || static_cast<std::size_t>(length) != data.size()) return std::nullopt;
  return out;
}

}  // namespace sd::testing
