// Our RC4 beside OpenSSL's (legacy provider) over 1 MiB, and one request's sealing and reply
// opening over a 300-byte body.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <string>

#include "src/protocol/codec.h"

namespace {

constexpr std::size_t kMiB = 1 << 20;
const char kKey[] = "Gz7wQ4kR9sTm2xVb";

std::string pattern(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t n = 0; n < size; ++n) data[n] = static_cast<char>(n * 131 + 7);
  return data;
}

void rc4_ours(benchmark::State& state) {
  const std::string data = pattern(kMiB);
  for (auto _ : state) {
    std::string out = sd::rc4_transform(data, kKey);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMiB);
}
BENCHMARK(rc4_ours);

// Same work as ours: key schedule, a fresh output buffer, one pass.
void rc4_openssl(benchmark::State& state) {
  OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
  OSSL_PROVIDER* standard = OSSL_PROVIDER_load(nullptr, "default");
  EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "RC4", nullptr);
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  if (legacy == nullptr || standard == nullptr || cipher == nullptr || context == nullptr) {
    state.SkipWithError("OpenSSL's legacy provider is not available");
  } else {
    const std::string data = pattern(kMiB);
    const int key_length = static_cast<int>(sizeof kKey - 1);
    for (auto _ : state) {
      std::string out(data.size(), '\0');
      int length = 0;
      EVP_EncryptInit_ex(context, cipher, nullptr, nullptr, nullptr);
      EVP_CIPHER_CTX_set_key_length(context, key_length);
      EVP_EncryptInit_ex(context, nullptr, nullptr, reinterpret_cast<const unsigned char*>(kKey),
                         nullptr);
      EVP_EncryptUpdate(context, reinterpret_cast<unsigned char*>(out.data()), &length,
                        reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
      benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMiB);
  }
  EVP_CIPHER_CTX_free(context);
  EVP_CIPHER_free(cipher);
  if (standard != nullptr) OSSL_PROVIDER_unload(standard);
  if (legacy != nullptr) OSSL_PROVIDER_unload(legacy);
}
BENCHMARK(rc4_openssl);

// The client's side of one request: seal a 300-byte body, open a reply of the same size.
void seal_and_open_300(benchmark::State& state) {
  std::string body = "{\"rand\":\"4821\",\"funname\":\"login\",\"param\":{\"user\":\"";
  body.resize(297, 'x');
  body += "\"}}";
  const std::string reply_key = sd::reply_key("4821");
  const std::string reply_data = sd::hex_encode(
      sd::rc4_transform(sd::hex_encode(sd::rc4_transform(body, reply_key)), kKey));
  for (auto _ : state) {
    std::string sealed = sd::seal_request(body, kKey, "83920174");
    std::string opened = sd::open_reply(reply_data, kKey, reply_key);
    benchmark::DoNotOptimize(sealed.data());
    benchmark::DoNotOptimize(opened.data());
  }
}
BENCHMARK(seal_and_open_300);

}  // namespace

BENCHMARK_MAIN();
