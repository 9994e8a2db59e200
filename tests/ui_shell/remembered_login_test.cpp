// The remembered login in config.ini: stored forms, round trips, hand-written files.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "src/app/page_titles.h"
#include "src/protocol/codec.h"
#include "src/ui/remembered_login.h"

namespace sd {
namespace {

class RememberedLoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("remembered_login_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "config.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string file() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  // A password whose scrambled bytes are exactly `scrambled`.
  static std::string password_scrambling_to(const std::string& scrambled) {
    const std::string stream = rc4_transform(std::string(scrambled.size(), '\0'), table_key);
    std::string password(scrambled.size(), '\0');
    for (std::size_t i = 0; i < scrambled.size(); ++i) password[i] = scrambled[i] ^ stream[i];
    return password;
  }

  std::filesystem::path dir_;
  std::string path_;
  const std::string section_ = "股道智投";
};

TEST_F(RememberedLoginTest, AwkwardScrambledBytesRoundTripInHexForm) {
  struct Case {
    const char* what;
    std::string scrambled;
    bool hex_form;
  };
  const Case cases[] = {
      {"ordinary", "abc", false},
      {"zero byte", std::string("ab\0cd", 5), true},
      {"CR", "ab\rcd", true},
      {"LF", "ab\ncd", true},
      {"leading blank", " abc", true},
      {"trailing tab", "abc\t", true},
      {"leading quote", "\"abc", true},
      {"trailing quote", "abc'", true},
      {"begins with hex:", "hex:41", true},
      {"inner blank and quote", "a \"b", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string password = password_scrambling_to(c.scrambled);
    ASSERT_EQ(password.find('\0'), std::string::npos);
    const std::string stored = stored_password_form(password);
    EXPECT_EQ(stored.rfind("hex:", 0) == 0, c.hex_form) << stored;
    if (!c.hex_form) {
      EXPECT_EQ(stored, c.scrambled);
    }
    ASSERT_TRUE(write_remembered_login(path_, section_, true, "acc", password));
    const RememberedLogin back = read_remembered_login(path_, section_);
    EXPECT_TRUE(back.remember);
    EXPECT_EQ(back.account, "acc");
    EXPECT_EQ(back.password, password);
  }
}

TEST_F(RememberedLoginTest, HexFormIsUpperCaseHexOfTheScrambledBytes) {
  const std::string password = password_scrambling_to(std::string("\x01\xAB\0", 3));
  EXPECT_EQ(stored_password_form(password), "hex:01AB00");
  // On reading, lower-case digits decode too; a value that is not valid hex is the plain form.
  EXPECT_EQ(password_from_stored("hex:01ab00"), password);
  const std::string not_hex = "hex:0G";
  const std::string plain = rc4_transform(not_hex, table_key);
  EXPECT_EQ(password_from_stored(not_hex), plain.substr(0, plain.find('\0')));
}

TEST_F(RememberedLoginTest, HandWrittenPlainFormIsRead) {
  const std::string password = "密码pw";
  std::ofstream(path_, std::ios::binary)
      << "; written by hand\n[" << section_ << "]\n记住密码 = 真\n账号=张三\n密码="
      << rc4_transform(password, table_key) << "\n";
  const RememberedLogin back = read_remembered_login(path_, section_);
  EXPECT_TRUE(back.remember);
  EXPECT_EQ(back.account, "张三");
  EXPECT_EQ(back.password, password);
}

TEST_F(RememberedLoginTest, NotRememberingWritesOnlyTheFlag) {
  ASSERT_TRUE(write_remembered_login(path_, section_, true, "a", "p"));
  ASSERT_TRUE(write_remembered_login(path_, section_, false, "b", "q"));
  EXPECT_EQ(file(), "[" + section_ + "]\r\n记住密码=假\r\n账号=a\r\n密码=" +
                        rc4_transform("p", table_key) + "\r\n");
  EXPECT_FALSE(read_remembered_login(path_, section_).remember);
  EXPECT_EQ(read_remembered_login(path_, section_).account, "");
}

TEST_F(RememberedLoginTest, MissingFileReadsAsNotRemembered) {
  const RememberedLogin back = read_remembered_login(path_, section_);
  EXPECT_FALSE(back.remember);
  EXPECT_EQ(back.account, "");
  EXPECT_EQ(back.password, "");
}

}  // namespace
}  // namespace sd
