// http_request from several threads: cancellation from another thread, calls side by side.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>  // std::chrono clocks; <chrono> itself does not build with a GBK execution charset
#include <vector>

#include "src/http/http_request.h"
#include "tests/http/raw_server.h"

namespace sd {
namespace {

using test::http_reply;
using test::RawServer;
using test::Reply;

TEST(HttpRequestThreads, CancelledCallEndsPromptly) {
  // The server accepts and never answers; the call has the default 30-second limit.
  RawServer server([](const std::string&) { return Reply{"", true}; });
  std::atomic<bool> cancel{false};
  std::string status;
  std::string headers = "untouched";
  HttpParams p;
  p.url = server.url("/");
  p.method = 1;
  p.body = "DATA=GETRAND?1";
  p.status = &status;
  p.received_headers = &headers;
  p.cancel = &cancel;
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    cancel = true;
  });
  const auto start = std::chrono::steady_clock::now();
  const std::string text = http_request(p);
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  canceller.join();
  EXPECT_EQ(text, "");
  EXPECT_EQ(status, "712 服务器未响应!");  // cancelled while waiting for the response
  EXPECT_EQ(headers, "untouched");
  EXPECT_LT(elapsed, 2.0);
}

TEST(HttpRequestThreads, CallsSideBySideShareNothing) {
  std::vector<std::string> bodies = {"first", "second", "third"};
  std::vector<std::thread> threads;
  std::vector<int> good(bodies.size(), 0);
  for (std::size_t i = 0; i < bodies.size(); ++i) {
    threads.emplace_back([&, i] {
      RawServer server([&](const std::string&) {
        return Reply{http_reply("200 OK", {"Set-Cookie: n=" + bodies[i]}, bodies[i])};
      });
      for (int round = 0; round < 5; ++round) {
        std::string cookies;
        std::string received;
        HttpParams p;
        p.url = server.url("/");
        p.method = 1;
        p.cookies = &cookies;
        p.received_cookies = &received;
        if (http_request(p) == bodies[i] && received == "n=" + bodies[i]) ++good[i];
      }
    });
  }
  for (std::thread& t : threads) t.join();
  for (const int g : good) EXPECT_EQ(g, 5);
}

}  // namespace
}  // namespace sd
