// Operations on two threads at once against the reference server program, as a window action
// during a heartbeat. The server runs as its own process so that only the client is examined.
#include <unistd.h>

#include <cstdio>
#include <thread>

#include <gtest/gtest.h>

#include "src/protocol/operations.h"
#include "tests/protocol/spawned_server.h"

namespace sd {
namespace {

TEST(Concurrency, TwoThreadsRunOperationsAtOnce) {
  const std::string db = "protocol-concurrency-" + std::to_string(::getpid()) + ".db";
  {
    test::SpawnedServer server(PROTOCOL_SERVER_PROGRAM,
                               {"--deploy", PROTOCOL_DEPLOY_FILE, "--db", db, "--port", "0"});
    ASSERT_FALSE(server.base_url().empty());
    const std::string url = server.base_url() + "/api/user";

    constexpr int kHeartbeats = 8;
    auto worker = [&](const std::string& account, int& renewed) {
      CallOptions options;
      options.exchange.first_pause_ms = 5;
      options.exchange.timeout_seconds = 20;
      std::string code, message, user, token, level, id;
      if (reg(url, account, "pw", "1", "888", code, message, options) != 1) return;
      if (login(url, account, "pw", "888", user, token, level, id, code, message, options) != 1) return;
      for (int i = 0; i < kHeartbeats; ++i) {
        const std::string next = hearlog(url, token, "888", code, message, options);
        if (next == "error" || next.empty() || next == token) return;
        token = next;
        ++renewed;
      }
      if (change_pawd(url, "888", token, "pw", "pw2", code, message, options) == 1) ++renewed;
    };
    int renewed_a = 0, renewed_b = 0;
    std::thread a(worker, "thread-a", std::ref(renewed_a));
    std::thread b(worker, "thread-b", std::ref(renewed_b));
    a.join();
    b.join();
    EXPECT_EQ(renewed_a, kHeartbeats + 1);
    EXPECT_EQ(renewed_b, kHeartbeats + 1);
  }
  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((db + suffix).c_str());
}

}  // namespace
}  // namespace sd
