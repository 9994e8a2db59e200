#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "src/app/deployment.h"
#include "src/protocol/codec.h"
#include "tests/codec/openssl_rc4.h"

namespace {

sd::DeploymentFile deployment_file() {
  std::string error;
  const auto file = sd::load_deployment_file(STOCKDESK_DEPLOY_FILE, error);
  EXPECT_TRUE(file) << error;
  return file ? *file : sd::DeploymentFile{};
}

TEST(BuiltinDeployment, UnscramblesToTheFilesValues) {
  const sd::DeploymentFile file = deployment_file();
  const sd::Deployment built = sd::builtin_deployment();
  EXPECT_EQ(built.app_title, file.deployment.app_title);
  EXPECT_EQ(built.login_subtitle, file.deployment.login_subtitle);
  EXPECT_EQ(built.init_address, file.deployment.init_address);
  EXPECT_EQ(built.website_host, file.deployment.website_host);
  EXPECT_EQ(built.probe_address, file.deployment.probe_address);
  EXPECT_EQ(built.chat_host, file.deployment.chat_host);
  EXPECT_EQ(built.server_port, file.deployment.server_port);
  EXPECT_FALSE(file.request_key.empty());
  EXPECT_EQ(sd::request_key(), file.request_key);
}

TEST(BuiltinDeployment, StoredFormsRefuseAnotherCheckSource) {
  const sd::DeploymentFile file = deployment_file();
  const std::string stored = sd::scramble_key_with(file.request_key, "source-one-2024-0101",
                                                   file.scramble_constant);
  EXPECT_EQ(sd::descramble_key(stored, "source-one-2024-0101"), file.request_key);
  EXPECT_EQ(sd::descramble_key(stored, "source-one-2024-0102"), "");
}

TEST(BuiltinDeployment, OpensTheServerRandom) {
  const std::string key = deployment_file().request_key;
  const auto sealed = sd::testing::openssl_rc4("73914602", key);
  if (!sealed) GTEST_SKIP() << "OpenSSL's legacy provider is not available";
  std::string hex;  // the server writes lower case as well
  for (const char c : *sealed) {
    static const char digits[] = "0123456789abcdef";
    hex += digits[static_cast<unsigned char>(c) >> 4];
    hex += digits[static_cast<unsigned char>(c) & 15];
  }
  EXPECT_EQ(sd::open_server_random(hex), "73914602");
  EXPECT_EQ(sd::open_server_random(hex + "7"), "73914602");  // odd tail ignored
  EXPECT_EQ(sd::open_server_random(""), "");
}

TEST(BuiltinDeployment, NeitherKeyNorInitAddressStandsWholeInTheBinary) {
  const sd::DeploymentFile file = deployment_file();
  ASSERT_FALSE(file.request_key.empty());
  ASSERT_FALSE(file.deployment.init_address.empty());
  ASSERT_EQ(sd::builtin_deployment().init_address, file.deployment.init_address);  // linked in
  std::ifstream in("/proc/self/exe", std::ios::binary);
  ASSERT_TRUE(in.good());
  const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(image.size(), 10000u);
  EXPECT_EQ(image.find(file.request_key), std::string::npos);
  EXPECT_EQ(image.find(file.deployment.init_address), std::string::npos);
}

}  // namespace
