#pragma once
// A deployment file written for one test, removed afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace sd::testing {

class FixtureFile {
 public:
  FixtureFile(const std::string& name, const std::string& content)
      : path_(::testing::TempDir() + "stockdesk_" + std::to_string(getpid()) + "_" + name) {
    std::ofstream(path_, std::ios::binary) << content;
  }
  ~FixtureFile() { std::remove(path_.c_str()); }
  FixtureFile(const FixtureFile&) = delete;
  FixtureFile& operator=(const FixtureFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A complete, valid deployment file (UTF-8), with `extra` lines appended.
inline std::string valid_deployment(const std::string& extra = "") {
  return std::string(reinterpret_cast<const char*>(
             u8"# test deployment\n"
             u8"app_title = 测试标题\n"
             u8"login_subtitle = 副标题\n"
             u8"init_address = http://127.0.0.1:1/x/init\n"
             u8"website_host = site.test\n"
             u8"probe_address = http://127.0.0.1:1/probe\n"
             u8"chat_host = chat.test\n"
             u8"server_port = 1\n"
             u8"request_key = test-key-0001\n"
             u8"scramble_constant = 0x3C\n"
             u8"app_title_check = check-title-1111-2222\n"
             u8"login_subtitle_check = check-sub-3333-4444-x\n"
             u8"init_address_check = check-init-5555-66667\n"
             u8"request_key_check = check-key-7777-88889\n")) +
         extra;
}

}  // namespace sd::testing
