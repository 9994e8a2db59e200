// The profile (INI) file: Windows reading rules over GBK, in-place edits, atomic owner-only writes.
#include "src/platform/profile_file.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace sd::platform {
namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("profile_file_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "config.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void write(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
  std::string file() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(ProfileFileTest, ReadingFollowsTheProfileRules) {
  write(
      "top=outside\r\n"
      "[Other]\r\nkey=other section\r\n"
      "  [ App ]  \r\n"
      "plain=value\r\n"
      "  spaced  =  padded value \t\r\n"
      "quoted=\"  kept inside  \"\r\n"
      "single='x'\r\n"
      "half=\"open\r\n"
      "Mixed=first\r\n"
      "mixed=second\r\n"
      "empty=\r\n"
      "no equals sign\r\n"
      "lf only=yes\n"
      "中文键=中文值\r\n"
      "\x81\x41=trail A\r\n"
      "[乚]\r\nk=bracket trail\r\n");
  const std::pair<const char*, const char*> cases[] = {
      {"plain", "value"},
      {"spaced", "padded value"},
      {"quoted", "  kept inside  "},
      {"single", "x"},
      {"half", "\"open"},
      {"MIXED", "first"},
      {"empty", ""},
      {"lf only", "yes"},
      {"中文键", "中文值"},
      {"\x81\x41", "trail A"},
      {"\x81\x61", ""},  // the trail byte of a two-byte character never folds
      {"key", ""},
      {"top", ""},
      {"absent", ""},
  };
  for (const auto& [key, value] : cases) {
    EXPECT_EQ(read_profile_string(path_, "app", key), value) << key;
  }
  EXPECT_EQ(read_profile_string(path_, "乚", "k"), "bracket trail");
  EXPECT_EQ(read_profile_string(path_, "nope", "plain"), "");
  EXPECT_EQ(read_profile_string(path_, "app", "plain", 3), "va");
  EXPECT_EQ(read_profile_string(path_ + ".missing", "app", "plain"), "");
}

TEST_F(ProfileFileTest, WritingEditsInPlaceAndKeepsEverythingElse) {
  ASSERT_TRUE(write_profile_string(path_, "应用", "记住密码", "真"));
  EXPECT_EQ(file(), "[应用]\r\n记住密码=真\r\n");

  write("; comment\n[A]\nx=1\n\n[应用]\n记住密码=假\nother = keep \n\n[B]\ny=2");
  ASSERT_TRUE(write_profile_strings(path_, "应用",
                                    {{"记住密码", "真"}, {"账号", "张三"}, {"OTHER", "new"}}));
  EXPECT_EQ(file(),
            "; comment\n[A]\nx=1\n\n[应用]\n记住密码=真\nOTHER=new\n账号=张三\r\n\n[B]\ny=2");
  ASSERT_TRUE(write_profile_string(path_, "C", "z", "3"));
  EXPECT_EQ(read_profile_string(path_, "C", "z"), "3");
  EXPECT_EQ(read_profile_string(path_, "B", "y"), "2");
  EXPECT_EQ(read_profile_string(path_, "应用", "账号"), "张三");
}

TEST_F(ProfileFileTest, WritesAreOwnerOnlyAndLeaveNoTemporaryFile) {
  write("[s]\nk=v\n");
  std::filesystem::permissions(path_, std::filesystem::perms::all);
  ASSERT_TRUE(write_profile_string(path_, "s", "k", "w"));
  struct stat st {};
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(ProfileFileTest, RefusedWritesLeaveTheFileUntouched) {
  write("[s]\nk=v\n");
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"s", "k", "line\r\nbreak"}, {"s", "k", "lf\n"}, {"s", "a=b", "v"}, {"s", "[k", "v"},
      {"s", "", "v"},              {"", "k", "v"},     {"s]", "k", "v"},
  };
  for (const auto& [section, key, value] : cases) {
    EXPECT_FALSE(write_profile_string(path_, section, key, value)) << section << "/" << key;
  }
  EXPECT_EQ(file(), "[s]\nk=v\n");
  // A value ends at its first zero byte.
  ASSERT_TRUE(write_profile_string(path_, "s", "k", std::string("ab\0cd", 5)));
  EXPECT_EQ(read_profile_string(path_, "s", "k"), "ab");
}

}  // namespace
}  // namespace sd::platform
