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

TEST(HttpRequestThreads, CancelledCallEndsPromptlyWithThePhaseError) {
  // Each call has the default 30-second limit and is cancelled from another thread at 200 ms.
  const std::string big_body(32 << 20, 'x');  // more than the socket buffers hold
  RawServer silent([](const std::string&) { return Reply{"", true}; });
  RawServer half_body([](const std::string&) {
    return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabcd", true};
  });
  test::SilentListener not_reading;
  struct Case {
    const char* name;
    std::string url;
    const std::string* body;
    const char* status;
  };
  const std::string small_body = "DATA=GETRAND?1";
  const std::vector<Case> cases = {
      {"request not yet sent", not_reading.url("/"), &big_body, "711 发送请求失败!"},
      {"waiting for the response", silent.url("/"), &small_body, "712 服务器未响应!"},
      {"reading the body", half_body.url("/"), &small_body, "713 读取数据失败!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::atomic<bool> cancel{false};
    std::string status;
    std::string headers = "untouched";
    std::string body_bytes = "untouched";
    HttpParams p;
    p.url = c.url;
    p.method = 1;
    p.body = *c.body;
    p.status = &status;
    p.received_headers = &headers;
    p.body_bytes = &body_bytes;
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
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(headers + body_bytes, "untoucheduntouched");
    EXPECT_LT(elapsed, 2.0);
  }
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
