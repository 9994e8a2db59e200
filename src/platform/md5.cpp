#include "src/platform/md5.h"

#include <openssl/evp.h>

namespace sd::platform {

std::string md5_digest(std::string_view data) {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  if (context == nullptr) return {};
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  const bool ok = EVP_DigestInit_ex(context, EVP_md5(), nullptr) == 1 &&
                  EVP_DigestUpdate(context, data.data(), data.size()) == 1 &&
                  EVP_DigestFinal_ex(context, digest, &length) == 1 && length == 16;
  EVP_MD_CTX_free(context);
  if (!ok) return {};
  return std::string(reinterpret_cast<const char*>(digest), length);
}

}  // namespace sd::platform
