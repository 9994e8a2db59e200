// The operations against the reference account server on 127.0.0.1, with its fault switches.
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <memory>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "server/account_server.h"
#include "src/http/code_page.h"
#include "src/protocol/operations.h"
#include "tests/protocol/recording_proxy.h"

namespace sd {
namespace {

class ServerTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (server_) server_->stop();
    server_.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((db_ + suffix).c_str());
  }

  // Starts the server with the given faults; false (and a test failure) when it cannot start.
  bool start(ServerOptions options = {}) {
    static std::atomic<int> serial{0};
    db_ = "protocol-accounts-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".db";
    options.deploy_path = PROTOCOL_DEPLOY_FILE;
    options.db_path = db_;
    options.port = 0;
    options.hash_iterations = 1000;
    options.threads = 4;
    server_ = std::make_unique<AccountServer>(options);
    std::string error;
    const bool started = server_->start(error);
    EXPECT_TRUE(started) << error;
    return started;
  }

  std::string init_url() const { return server_->base_url() + server_->init_path(); }
  std::string user_url() const { return server_->base_url() + "/api/user"; }

  static CallOptions quick(ExchangeOutcome* outcome = nullptr) {
    CallOptions options;
    options.exchange.first_pause_ms = 5;
    options.exchange.timeout_seconds = 10;
    options.outcome = outcome;
    return options;
  }

  std::unique_ptr<AccountServer> server_;
  std::string db_;
};

TEST_F(ServerTest, EveryOperationEndToEnd) {
  ASSERT_TRUE(start());
  std::string code = "c0", message = "m0";
  InitReply config;
  ASSERT_EQ(init(init_url(), "888", "wzpkyl", "windows", config, code, message, quick()), 1);
  EXPECT_FALSE(config.wzp_url.empty());
  EXPECT_EQ(config.wzp_url.front(), '"');
  const std::string url = config.userurl;

  EXPECT_EQ(reg(url, "user1", "pass1", "12345", "888", code, message, quick()), 1);
  EXPECT_EQ(code + message, "c0m0");  // opened replies leave the error variables alone

  std::string user, token, level, id;
  ASSERT_EQ(login(url, "user1", "pass1", "888", user, token, level, id, code, message, quick()), 1);
  EXPECT_EQ(user, "user1");
  EXPECT_FALSE(token.empty());

  const std::string renewed = hearlog(url, token, "888", code, message, quick());
  EXPECT_NE(renewed, "error");
  EXPECT_FALSE(renewed.empty());
  EXPECT_NE(renewed, token);

  EXPECT_EQ(change_pawd(url, "888", renewed, "pass1", "pass2", code, message, quick()), 1);
  EXPECT_EQ(code + message, "c0m0");

  ExchangeOutcome outcome = ExchangeOutcome::opened;
  EXPECT_EQ(login(url, "user1", "pass1", "888", user, token, level, id, code, message,
                  quick(&outcome)),
            0);
  EXPECT_EQ(outcome, ExchangeOutcome::refused);
  EXPECT_FALSE(code.empty());
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(login(url, "user1", "pass2", "888", user, token, level, id, code, message, quick()), 1);
}

TEST_F(ServerTest, TypedValuesArriveIntact) {
  ASSERT_TRUE(start());
  // reg succeeds only when the server echoes account and password exactly as sent.
  const std::string values[] = {"back\\slash\\", "per%cent%22%7D", "中文誠表", "say \"hi\"",
                                "a\",\"b\"]}"};
  int n = 0;
  for (const std::string& value : values) {
    SCOPED_TRACE(local_to_utf8(value));
    std::string code, message;
    const std::string account = value + std::to_string(n++);
    EXPECT_EQ(reg(user_url(), account, value, "12345", "888", code, message, quick()), 1)
        << local_to_utf8(code + " " + message);
    std::string user, token, level, id;
    EXPECT_EQ(login(user_url(), account, value, "888", user, token, level, id, code, message, quick()), 1);
    EXPECT_EQ(user, account);
  }
}

TEST_F(ServerTest, ErrorPageFirstMeansTwoHandshakesAndOnlyTheLastCookies) {
  ServerOptions options;
  options.fault_first_handshake_error = true;
  ASSERT_TRUE(start(options));
  test::RecordingProxy proxy(server_->port());
  std::string code, message;
  InitReply config;
  ASSERT_EQ(init(proxy.url(server_->init_path()), "888", "wzpkyl", "windows", config, code, message,
                 quick()),
            1);
  const auto seen = proxy.exchanges();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_NE(seen[0].status, 200);
  EXPECT_FALSE(seen[0].set_cookies.empty());
  EXPECT_EQ(seen[1].status, 200);
  EXPECT_EQ(seen[0].cookie, "");
  EXPECT_EQ(seen[1].cookie, "");
  ASSERT_FALSE(seen[1].set_cookies.empty());
  const std::string session = seen[1].set_cookies[0].substr(0, seen[1].set_cookies[0].find(';'));
  EXPECT_EQ(seen[2].cookie, session);  // nothing of the error page's cookie
}

TEST_F(ServerTest, LostReplyIsRepostedWithTheSameBody) {
  ServerOptions options;
  options.fault_first_data_500 = true;
  options.create_accounts = {{"user2", "pass2"}};
  ASSERT_TRUE(start(options));
  test::RecordingProxy proxy(server_->port());
  std::string code, message, user, token, level, id;
  ASSERT_EQ(login(proxy.url("/api/user"), "user2", "pass2", "888", user, token, level, id, code,
                  message, quick()),
            1);
  EXPECT_EQ(user, "user2");
  const auto seen = proxy.exchanges();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[1].status, 500);
  EXPECT_EQ(seen[2].status, 200);
  EXPECT_EQ(seen[1].body, seen[2].body);
  EXPECT_EQ(seen[1].body.rfind("DATA=", 0), 0u);
}

TEST_F(ServerTest, RefusedHeartbeatCarriesTheServersCodeAndMessage) {
  ServerOptions options;
  options.fault_refuse_heartbeats_after = 1;
  options.create_accounts = {{"user3", "pass3"}};
  ASSERT_TRUE(start(options));
  std::string code, message, user, token, level, id;
  ASSERT_EQ(login(user_url(), "user3", "pass3", "888", user, token, level, id, code, message, quick()), 1);
  token = hearlog(user_url(), token, "888", code, message, quick());
  ASSERT_NE(token, "error");
  ExchangeOutcome outcome = ExchangeOutcome::opened;
  EXPECT_EQ(hearlog(user_url(), token, "888", code, message, quick(&outcome)), "error");
  EXPECT_EQ(outcome, ExchangeOutcome::refused);
  EXPECT_FALSE(code.empty());
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(code.rfind("900", 0), std::string::npos);  // the server's code, not ours
}

TEST_F(ServerTest, CliChecksAServer) {
  ASSERT_TRUE(start());
  const std::string command = std::string(STOCKDESK_BINARY_DIR) + "/cli/stockdesk-cli --deploy " +
                              PROTOCOL_DEPLOY_FILE + " init " + init_url() + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << out;
  const auto json = nlohmann::json::parse(out, nullptr, false);
  ASSERT_FALSE(json.is_discarded()) << out;
  EXPECT_EQ(json.value("userurl", ""), user_url());
}

}  // namespace
}  // namespace sd
