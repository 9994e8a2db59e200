// Accounts survive restarts and are stored only as hashes; tokens renew, linger, expire.
#include <fstream>
#include <iterator>
#include <thread>

#include "server/password_hash.h"
#include "server/refusals.h"
#include "tests/server/server_fixture.h"

namespace sd::test {
namespace {

class AccountsTest : public ServerTest {};

std::string file_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(AccountsTest, RestartKeepsAccountsAndNeverStoresThePassword) {
  const std::string password = "Unmistakable-Secret-42";
  options_.create_accounts = {{"operator", "op-pass"}};
  start();
  ASSERT_TRUE(client().call("reg", {"erin", password, "777"}).opened.is_object());
  ASSERT_TRUE(client().call("change_pawd",
                            {client().call("login", {"erin", password}).member("token"), password,
                             password + "2"})
                  .opened.is_object());
  stop();

  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    EXPECT_EQ(file_bytes(entry.path()).find(password), std::string::npos) << entry.path();

  start();
  auto c = client();
  const DataReply login = c.call("login", {"erin", password + "2"});
  ASSERT_TRUE(login.opened.is_object()) << login.body;
  EXPECT_EQ(login.opened["user"], "erin");
  EXPECT_EQ(c.call("reg", {"erin", "x", "1"}).errcode(), refusal::account_exists().code);
  EXPECT_TRUE(c.call("login", {"operator", "op-pass"}).opened.is_object());
}

TEST(PasswordHash, VerifiesOnlyTheRightPasswordAndWellFormedHashes) {
  const std::string stored = hash_password("s3cret", 1000);
  EXPECT_EQ(stored.rfind("pbkdf2-sha256$1000$", 0), 0u);
  EXPECT_NE(stored, hash_password("s3cret", 1000));  // salted
  EXPECT_TRUE(verify_password("s3cret", stored));
  for (const std::string& bad : {std::string("s3cres"), std::string(""), std::string("s3cret ")})
    EXPECT_FALSE(verify_password(bad, stored)) << bad;
  for (const std::string& broken :
       {std::string(""), std::string("pbkdf2-sha256$1000$00$00"), std::string("plain"),
        std::string("pbkdf2-sha256$0$") + stored.substr(19),
        std::string("pbkdf2-sha256$99999999999$") + stored.substr(19)})
    EXPECT_FALSE(verify_password("s3cret", broken)) << broken;
}

TEST_F(AccountsTest, ReplacedTokenWorksInItsGraceThenExpires) {
  options_.token_grace = std::chrono::milliseconds(1000);
  options_.token_lifetime = std::chrono::milliseconds(2500);
  start();
  auto c = client();
  ASSERT_TRUE(c.call("reg", {"frank", "pw", "1"}).opened.is_object());
  const std::string first = c.call("login", {"frank", "pw"}).member("token");
  const std::string second = c.call("hearlog", {first}).member("token");
  ASSERT_EQ(second.size(), 32u);

  // An action that read the token just before the heartbeat replaced it still succeeds.
  EXPECT_TRUE(c.call("change_pawd", {first, "pw", "pw2"}).opened.is_object());

  std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  EXPECT_EQ(c.call("change_pawd", {first, "pw2", "pw3"}).errcode(),
            refusal::token_expired().code);
  const std::string third = c.call("hearlog", {second}).member("token");
  ASSERT_EQ(third.size(), 32u);

  // No heartbeat for longer than the lifetime: the login is gone.
  std::this_thread::sleep_for(std::chrono::milliseconds(2800));
  EXPECT_EQ(c.call("hearlog", {third}).errcode(), refusal::token_expired().code);
  EXPECT_EQ(c.call("change_pawd", {third, "pw2", "pw3"}).errcode(),
            refusal::token_expired().code);
}

TEST_F(AccountsTest, ConcurrentClientsKeepTheirOwnLogins) {
  start();
  std::vector<std::thread> threads;
  std::atomic<int> good{0};
  for (int t = 0; t < 6; ++t) {
    threads.emplace_back([&, t] {
      auto c = client();
      const std::string name = "user" + std::to_string(t);
      if (!c.call("reg", {name, "pw", "1"}).opened.is_object()) return;
      std::string token = c.call("login", {name, "pw"}).member("token");
      for (int i = 0; i < 10 && !token.empty(); ++i)
        token = c.call("hearlog", {token}).member("token");
      if (token.size() == 32) ++good;
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(good.load(), 6);
}

}  // namespace
}  // namespace sd::test
