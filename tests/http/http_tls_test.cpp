// A secure request to a local TLS server whose certificate nobody vouches for is refused.
#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "src/http/http_request.h"

namespace sd {
namespace {

struct SelfSigned {
  EVP_PKEY* key = nullptr;
  X509* cert = nullptr;
  SelfSigned() {
    key = EVP_EC_gen("P-256");
    cert = X509_new();
    if (key == nullptr || cert == nullptr) return;
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    if (X509_EXTENSION* san = X509V3_EXT_conf_nid(nullptr, &ctx, NID_subject_alt_name, "IP:127.0.0.1")) {
      X509_add_ext(cert, san, -1);
      X509_EXTENSION_free(san);
    }
    X509_sign(cert, key, EVP_sha256());
  }
  ~SelfSigned() {
    X509_free(cert);
    EVP_PKEY_free(key);
  }
};

TEST(HttpRequestTls, UntrustedCertificateIsRefused) {
  SelfSigned identity;
  ASSERT_NE(identity.key, nullptr);
  httplib::SSLServer server(identity.cert, identity.key);
  ASSERT_TRUE(server.is_valid());
  std::atomic<int> served{0};
  server.Get("/", [&](const httplib::Request&, httplib::Response& res) {
    ++served;
    res.set_content("secret", "text/plain");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port, 0);
  std::thread runner([&] { server.listen_after_bind(); });
  for (int i = 0; i < 200 && !server.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  std::string status;
  HttpParams p;
  p.url = "https://127.0.0.1:" + std::to_string(port) + "/";
  p.timeout_seconds = 5;
  p.status = &status;
  std::string cookies;  // supplied: the call that would also ask for revocation checks
  p.cookies = &cookies;
  EXPECT_EQ(http_request(p), "");
  EXPECT_EQ(status, "711 发送请求失败!");
  EXPECT_EQ(served.load(), 0);
  server.stop();
  runner.join();
}

}  // namespace
}  // namespace sd
