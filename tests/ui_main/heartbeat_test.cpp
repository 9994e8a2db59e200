#include "src/ui/heartbeat.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "src/protocol/operations.h"
#include "tests/ui_main/reference_server.h"
#include "tests/ui_main/switchable_proxy.h"

namespace sd {
namespace {

using namespace std::chrono_literals;
using test::ReferenceServer;
using test::SwitchableProxy;

// What the heartbeat reported, collected from its thread.
struct Events {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> tokens;  // login_token after each good beat
  std::vector<std::string> refusals;
  int retrying = 0, recovered = 0;

  HeartbeatCallbacks callbacks(AppState& state) {
    HeartbeatCallbacks c;
    c.beat_done = [this, &state] { note([&] { tokens.push_back(state.login_token()); }); };
    c.refused = [this](const std::string& text) { note([&] { refusals.push_back(text); }); };
    c.retrying = [this] { note([&] { ++retrying; }); };
    c.recovered = [this] { note([&] { ++recovered; }); };
    return c;
  }
  template <class F>
  void note(F f) {
    {
      std::lock_guard lock(mutex);
      f();
    }
    changed.notify_all();
  }
  // Waits (at most 20 s) until pred holds.
  template <class P>
  bool wait(P pred) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 20s, pred);
  }
};

ExchangeOptions quick_exchange() {
  ExchangeOptions options;
  options.handshake_attempts = 1;
  options.data_attempts = 1;
  options.first_pause_ms = 10;
  options.timeout_seconds = 5;
  return options;
}

// A logged-in state against the server (account hb).
void log_in(const ReferenceServer& server, AppState& state) {
  state.app_id = "888";
  state.account_address = server.account_url();
  std::string user, token, level, id, code, message;
  ASSERT_EQ(login(state.account_address, "hb", "pw-1", state.app_id, user, token, level, id, code,
                  message),
            1)
      << code << " " << message;
  state.set_login_token(token);
}

TEST(Heartbeat, ReplacesTheTokenAtEveryBeatWhileOthersReadIt) {
  ReferenceServer server;
  ASSERT_TRUE(server.started()) << server.error();
  AppState state;
  log_in(server, state);
  const std::string first = state.login_token();

  Events events;
  Heartbeat heartbeat(state, events.callbacks(state), 20ms, quick_exchange());
  heartbeat.start();

  // The window thread reads the shared texts while the heartbeat replaces them.
  std::atomic<bool> reading{true};
  std::thread reader([&] {
    while (reading.load()) {
      const std::string token = state.login_token();
      EXPECT_TRUE(token.size() == first.size()) << token;
      (void)state.error_text();
    }
  });
  const bool beat = events.wait([&] { return events.tokens.size() >= 4; });
  reading.store(false);
  reader.join();
  heartbeat.stop();

  ASSERT_TRUE(beat);
  std::set<std::string> distinct(events.tokens.begin(), events.tokens.end());
  distinct.insert(first);
  EXPECT_EQ(distinct.size(), events.tokens.size() + 1) << "every beat brings a new token";
  EXPECT_EQ(state.login_token(), events.tokens.back());
  EXPECT_TRUE(events.refusals.empty());
  EXPECT_EQ(events.retrying, 0);
}

TEST(Heartbeat, RefusalEndsTheLoopWithTheServersError) {
  ReferenceServer server([](ServerOptions& o) { o.fault_refuse_heartbeats_after = 1; });
  ASSERT_TRUE(server.started()) << server.error();
  AppState state;
  log_in(server, state);

  Events events;
  Heartbeat heartbeat(state, events.callbacks(state), 20ms, quick_exchange());
  heartbeat.start();
  ASSERT_TRUE(events.wait([&] { return !events.refusals.empty(); }));
  std::this_thread::sleep_for(100ms);  // a loop that went on would beat again meanwhile
  heartbeat.stop();

  EXPECT_EQ(events.tokens.size(), 1u);
  ASSERT_EQ(events.refusals.size(), 1u);
  EXPECT_EQ(state.login_token(), "error");
  EXPECT_FALSE(state.error_code().empty());
  EXPECT_EQ(events.refusals[0], "错误：" + state.error_code() + "，" + state.error_message() + "!");
}

TEST(Heartbeat, KeepsTheTokenWhileTheServerIsUnreachableAndRecovers) {
  ReferenceServer server;
  ASSERT_TRUE(server.started()) << server.error();
  SwitchableProxy proxy(server.port());
  ASSERT_TRUE(proxy.up());
  AppState state;
  log_in(server, state);
  state.account_address = "http://127.0.0.1:" + std::to_string(proxy.port()) + "/api/user";

  Events events;
  Heartbeat heartbeat(state, events.callbacks(state), 30ms, quick_exchange());
  heartbeat.start();
  ASSERT_TRUE(events.wait([&] { return events.tokens.size() >= 1; }));

  proxy.down();
  ASSERT_TRUE(events.wait([&] { return events.retrying >= 1; }));
  std::string kept;
  {
    std::lock_guard lock(events.mutex);
    kept = events.tokens.back();
  }
  std::this_thread::sleep_for(150ms);  // a few failed beats
  EXPECT_EQ(state.login_token(), kept);
  const std::size_t before = events.tokens.size();

  ASSERT_TRUE(proxy.up());
  ASSERT_TRUE(events.wait([&] { return events.recovered >= 1 && events.tokens.size() > before; }));
  heartbeat.stop();

  EXPECT_EQ(events.retrying, 1);
  EXPECT_TRUE(events.refusals.empty());
  EXPECT_NE(state.login_token(), kept);
  EXPECT_NE(state.login_token(), "error");
}

TEST(Heartbeat, StopAbortsAnExchangeInFlight) {
  // A server that holds every request until the test ends.
  std::atomic<bool> release{false};
  std::atomic<int> requests{0};
  httplib::Server slow;
  slow.Post(".*", [&](const httplib::Request&, httplib::Response& response) {
    ++requests;
    for (int i = 0; i < 1200 && !release.load(); ++i) std::this_thread::sleep_for(50ms);
    response.status = 503;
  });
  const int port = slow.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port, 0);
  std::thread serving([&] { slow.listen_after_bind(); });

  AppState state;
  state.app_id = "888";
  state.account_address = "http://127.0.0.1:" + std::to_string(port) + "/api/user";
  state.set_login_token("T");
  ExchangeOptions exchange;
  exchange.timeout_seconds = 120;
  Events events;
  Heartbeat heartbeat(state, events.callbacks(state), 1ms, exchange);
  heartbeat.start();
  for (int i = 0; i < 2000 && requests.load() == 0; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(requests.load(), 1);

  const auto begin = std::chrono::steady_clock::now();
  heartbeat.stop();
  const auto took = std::chrono::steady_clock::now() - begin;
  release.store(true);
  slow.stop();
  serving.join();

  // Not a speed figure: a stop that waited for the server would wait a minute.
  EXPECT_LT(took, 20s);
  EXPECT_EQ(state.login_token(), "T");
  EXPECT_TRUE(events.refusals.empty());
  EXPECT_EQ(events.retrying, 0);
}

}  // namespace
}  // namespace sd
