#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "src/app/deployment.h"
#include "tests/deploy/fixture.h"

namespace {

using sd::testing::FixtureFile;
using sd::testing::valid_deployment;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

TEST(DeploymentFile, ReadsEverySettingAsLocalText) {
  // Windows line ends and a byte-order mark are accepted.
  std::string content = "\xEF\xBB\xBF" + replaced(valid_deployment(), "\n", "\r\n");
  const FixtureFile file("valid.conf", content);
  std::string error;
  const auto loaded = sd::load_deployment_file(file.path(), error);
  ASSERT_TRUE(loaded) << error;
  EXPECT_EQ(loaded->deployment.app_title, "测试标题");  // narrow literals are GBK
  EXPECT_EQ(loaded->deployment.login_subtitle, "副标题");
  EXPECT_EQ(loaded->deployment.init_address, "http://127.0.0.1:1/x/init");
  EXPECT_EQ(loaded->deployment.website_host, "site.test");
  EXPECT_EQ(loaded->deployment.probe_address, "http://127.0.0.1:1/probe");
  EXPECT_EQ(loaded->deployment.chat_host, "chat.test");
  EXPECT_EQ(loaded->deployment.server_port, 1);
  EXPECT_EQ(loaded->request_key, "test-key-0001");
  EXPECT_EQ(loaded->scramble_constant, 0x3C);
}

struct BadFile {
  const char* name;
  std::string content;
  const char* message;  // part of the error
};

TEST(DeploymentFile, RefusesBadFilesWithAClearError) {
  const std::string valid = valid_deployment();
  const BadFile cases[] = {
      {"unknown key", valid + "colour = blue\n", ":15: unknown key \"colour\""},
      {"bad line", valid + "just words\n", ":15: expected \"key = value\""},
      {"no key", valid + " = value\n", ":15: expected \"key = value\""},
      {"twice", valid + "chat_host = other\n", ":15: \"chat_host\" is set twice"},
      {"empty value", replaced(valid, "chat.test", ""), "\"chat_host\" has an empty value"},
      {"missing key", replaced(valid, "request_key_check = check-key-7777-88889\n", ""),
       "missing required key \"request_key_check\""},
      {"constant too big", replaced(valid, "0x3C", "256"), "scramble_constant must be one byte"},
      {"constant hex too big", replaced(valid, "0x3C", "0x100"), "scramble_constant must be one byte"},
      {"constant negative", replaced(valid, "0x3C", "-1"), "scramble_constant must be one byte"},
      {"constant words", replaced(valid, "0x3C", "5A"), "scramble_constant must be one byte"},
      {"port zero", replaced(valid, "server_port = 1", "server_port = 0"), "server_port must be"},
      {"port words", replaced(valid, "server_port = 1", "server_port = 80x"), "server_port must be"},
  };
  for (const BadFile& c : cases) {
    const FixtureFile file("bad.conf", c.content);
    std::string error;
    EXPECT_FALSE(sd::load_deployment_file(file.path(), error)) << c.name;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
  }
  std::string error;
  EXPECT_FALSE(sd::load_deployment_file(::testing::TempDir() + "no-such-dir/none.conf", error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

int run_generator(const std::string& input, const std::string& output) {
  const std::string command = std::string("'") + STOCKDESK_DEPLOY_GENERATOR + "' '" + input +
                              "' '" + output + "' 2>/dev/null";
  return std::system(command.c_str());
}

TEST(Generator, WritesNoSecretWhole) {
  const FixtureFile file("generate.conf", valid_deployment());
  const std::string output = file.path() + ".cpp";
  ASSERT_EQ(run_generator(file.path(), output), 0);
  std::ifstream in(output, std::ios::binary);
  std::stringstream code;
  code << in.rdbuf();
  std::remove(output.c_str());
  EXPECT_NE(code.str().find("std::string stored_request_key()"), std::string::npos);
  for (const char* secret : {"test-key-0001", "/x/init", "check-key", "7777"})
    EXPECT_EQ(code.str().find(secret), std::string::npos) << secret;
}

TEST(Generator, RefusesCheckSourcesThatAreNotNineteenPieces) {
  const std::string valid = valid_deployment();
  const std::string cases[] = {
      replaced(valid, "check-key-7777-88889", "short-1"),  // fewer than 19 characters
      replaced(valid, "check-key-7777-88889", "far-too-many-letters-here"),
  };
  for (const std::string& content : cases) {
    const FixtureFile file("pieces.conf", content);
    const std::string output = file.path() + ".cpp";
    EXPECT_NE(run_generator(file.path(), output), 0);
    EXPECT_FALSE(std::ifstream(output).good());
  }
  const FixtureFile missing("missing.conf", replaced(valid, "server_port = 1\n", ""));
  EXPECT_NE(run_generator(missing.path(), missing.path() + ".cpp"), 0);
}

}  // namespace
