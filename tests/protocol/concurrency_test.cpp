// Two exchanges at once on two threads, as a window action during a heartbeat.
#include <thread>

#include <gtest/gtest.h>

#include "src/protocol/operations.h"
#include "tests/protocol/fake_account_server.h"

namespace sd {
namespace {

using test::FakeAccountServer;

TEST(Concurrency, TwoThreadsRunOperationsAtOnce) {
  FakeAccountServer server([](const FakeAccountServer::Request& request) {
    if (request.handshake) return FakeAccountServer::default_answer(request);
    // Echo the token that was sent, so each thread can check it got its own reply.
    const auto at = request.plain.find("%5B%22");
    const auto end = request.plain.find("%22%5D");
    const std::string sent = request.plain.substr(at + 6, end - at - 6);
    return FakeAccountServer::opened_answer(R"({"token":")" + sent + R"(-next"})",
                                            request.client_random);
  });
  constexpr int kCalls = 15;
  auto worker = [&](const std::string& name, int& good) {
    CallOptions options;
    options.exchange.first_pause_ms = 5;
    options.exchange.timeout_seconds = 10;
    for (int i = 0; i < kCalls; ++i) {
      std::string code, message;
      const std::string token = name + std::to_string(i);
      if (hearlog(server.url(), token, "888", code, message, options) == token + "-next") ++good;
    }
  };
  int good_a = 0, good_b = 0;
  std::thread a(worker, "a", std::ref(good_a));
  std::thread b(worker, "b", std::ref(good_b));
  a.join();
  b.join();
  EXPECT_EQ(good_a, kCalls);
  EXPECT_EQ(good_b, kCalls);
}

}  // namespace
}  // namespace sd
