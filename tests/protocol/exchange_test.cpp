// The exchange against a scripted server on 127.0.0.1: retries, cookies, outcomes, bounds.
#include <cstdlib>
#include <ctime>
#include <thread>

#include <gtest/gtest.h>

#include "src/protocol/codec.h"
#include "src/protocol/exchange.h"
#include "tests/protocol/fake_account_server.h"

namespace sd {
namespace {

using test::FakeAccountServer;
using Answer = FakeAccountServer::Answer;
using Request = FakeAccountServer::Request;

using test::u8;

ExchangeOptions quick() {
  ExchangeOptions options;
  options.handshake_attempts = 3;
  options.data_attempts = 3;
  options.first_pause_ms = 5;
  options.timeout_seconds = 5;
  return options;
}

struct Result {
  ExchangeOutcome outcome;
  std::string code = "old code";
  std::string message = "old message";
  JsonObject reply;
};

Result run(const std::string& url, bool decode_handshake = false,
           const ExchangeOptions& options = quick()) {
  Result result;
  result.outcome = server_exchange(url, "%22,%22funname%22:%22hearlog%22%7D", decode_handshake,
                                   result.reply, result.code, result.message, options);
  return result;
}

int count(const std::vector<Request>& requests, bool handshake) {
  int n = 0;
  for (const auto& r : requests) n += r.handshake == handshake ? 1 : 0;
  return n;
}

TEST(Exchange, ErrorPageThenHandshakeSendsOnlyTheLastHandshakesCookies) {
  FakeAccountServer server([](const Request& request) {
    if (request.index == 0) return Answer{500, "<html>busy</html>", "stale=1; path=/"};
    return FakeAccountServer::default_answer(request);
  });
  Result result = run(server.url());
  ASSERT_EQ(result.outcome, ExchangeOutcome::opened);
  EXPECT_EQ(result.reply.get_text("ok"), "1");

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_TRUE(requests[0].handshake && requests[1].handshake);
  EXPECT_EQ(requests[0].cookie, "");
  EXPECT_EQ(requests[1].cookie, "");  // a handshake never sends cookies
  EXPECT_EQ(requests[2].cookie, "hs=1");
  EXPECT_EQ(requests[1].body.rfind("DATA=GETRAND?", 0), 0u);
}

TEST(Exchange, FailedDataRequestIsRepostedWithTheSameBodyAndMergedCookies) {
  FakeAccountServer server([](const Request& request) {
    if (request.index == 1) return Answer{500, "oops", "extra=2"};
    return FakeAccountServer::default_answer(request);
  });
  Result result = run(server.url());
  ASSERT_EQ(result.outcome, ExchangeOutcome::opened);

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(count(requests, true), 1);
  EXPECT_EQ(requests[1].body, requests[2].body);
  EXPECT_EQ(requests[1].cookie, "hs=0");
  EXPECT_NE(requests[2].cookie.find("hs=0"), std::string::npos);
  EXPECT_NE(requests[2].cookie.find("extra=2"), std::string::npos);
  EXPECT_EQ(requests[1].plain.rfind("%7B%22rand%22:%22", 0), 0u);
}

TEST(Exchange, RefusalFillsTheErrorOutputsWithTheServersCodeAndMessage) {
  FakeAccountServer server([](const Request& request) {
    if (request.handshake) return FakeAccountServer::default_answer(request);
    return FakeAccountServer::refused_answer("-3", u8(u8"账号或密码错误"));
  });
  Result result = run(server.url());
  EXPECT_EQ(result.outcome, ExchangeOutcome::refused);
  EXPECT_EQ(result.code, "-3");
  EXPECT_EQ(result.message, "账号或密码错误");
}

TEST(Exchange, OpenedReplyKeepsTheCallersErrorVariables) {
  FakeAccountServer server([](const Request& request) {
    if (request.handshake) return FakeAccountServer::default_answer(request);
    return FakeAccountServer::opened_answer(u8(u8R"({"token":"t1","名称":"中文"})"),
                                            request.client_random);
  });
  Result result = run(server.url());
  ASSERT_EQ(result.outcome, ExchangeOutcome::opened);
  EXPECT_EQ(result.reply.get_text("token"), "t1");
  EXPECT_EQ(result.reply.get_text("名称"), "中文");
  EXPECT_EQ(result.code, "old code");
  EXPECT_EQ(result.message, "old message");
}

TEST(Exchange, RepliesWithoutUsableData) {
  struct Case {
    const char* name;
    std::string body;  // raw 200 reply to the data request; "" means a sealed non-JSON text
    ExchangeOutcome outcome;
  };
  const Case cases[] = {
      {"not JSON", "<html>no</html>", ExchangeOutcome::refused},
      {"no data member", R"({"errcode":"7"})", ExchangeOutcome::refused},
      {"sealed text that is not JSON", "", ExchangeOutcome::opened},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAccountServer server([&](const Request& request) {
      if (request.handshake) return FakeAccountServer::default_answer(request);
      if (c.body.empty()) return FakeAccountServer::opened_answer("not json", request.client_random);
      return Answer{200, c.body, ""};
    });
    Result result = run(server.url());
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.reply.get_text("errcode"), "");
    if (c.outcome == ExchangeOutcome::refused) {
      EXPECT_EQ(result.code, c.body == R"({"errcode":"7"})" ? "7" : "");
      EXPECT_EQ(result.message, "");
    }
    EXPECT_EQ(count(server.requests(), false), 1);  // a refusal is not retried
  }
}

TEST(Exchange, GivesUpAfterTheBoundWithItsOwnCodes) {
  struct Case {
    const char* name;
    FakeAccountServer::Script script;
    int handshakes, data_requests;
    const char* code;
  };
  const Case cases[] = {
      {"handshake without data value",
       [](const Request&) { return Answer{200, std::string(44, 'x'), ""}; }, 3, 0, "9001"},
      {"handshake of another length",
       [](const Request&) { return Answer{200, "data\":\"00\"", ""}; }, 3, 0, "9001"},
      {"data requests always fail",
       [](const Request& request) {
         if (request.handshake) return FakeAccountServer::default_answer(request);
         return Answer{503, "down", ""};
       },
       1, 3, "9002"},
      {"data reply empty with status 200",
       [](const Request& request) {
         if (request.handshake) return FakeAccountServer::default_answer(request);
         return Answer{200, "", ""};
       },
       1, 3, "9002"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAccountServer server(c.script);
    Result result = run(server.url());
    EXPECT_EQ(result.outcome, ExchangeOutcome::unreachable);
    EXPECT_EQ(result.code, c.code);
    EXPECT_FALSE(result.message.empty());
    const auto requests = server.requests();
    EXPECT_EQ(count(requests, true), c.handshakes);
    EXPECT_EQ(count(requests, false), c.data_requests);
  }
}

TEST(Exchange, UnreachableServerEndsInBoundedFailure) {
  const std::string url = "http://127.0.0.1:" + std::to_string(test::closed_port()) + "/api";
  Result result = run(url);
  EXPECT_EQ(result.outcome, ExchangeOutcome::unreachable);
  EXPECT_EQ(result.code, "9001");
  EXPECT_EQ(result.message, "无法连接服务器，请检查网络后再试");
}

TEST(Exchange, CancelEndsASlowCall) {
  FakeAccountServer server([](const Request& request) {
    Answer answer = FakeAccountServer::default_answer(request);
    if (!request.handshake) answer.delay_ms = 10000;
    return answer;
  });
  std::atomic<bool> cancel{false};
  ExchangeOptions options = quick();
  options.timeout_seconds = 30;
  options.cancel = &cancel;
  std::thread canceller([&] {
    for (int i = 0; i < 500 && server.requests().size() < 2; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    cancel = true;
  });
  Result result = run(server.url(), false, options);
  canceller.join();
  EXPECT_EQ(result.outcome, ExchangeOutcome::unreachable);
  EXPECT_EQ(result.code, "9003");
  EXPECT_EQ(count(server.requests(), false), 1);
}

TEST(Exchange, DecodedHandshakeIsMeasuredInLocalText) {
  // A 17-byte random gives 42 bytes of envelope; one Chinese character after it makes the reply
  // 44 bytes in GBK but 45 in UTF-8.
  for (bool decode : {true, false}) {
    SCOPED_TRACE(decode);
    FakeAccountServer server([](const Request& request) {
      if (!request.handshake) return FakeAccountServer::default_answer(request);
      Answer answer = FakeAccountServer::handshake_answer(request.index);
      answer.body = "data\":\"" +
                    hex_encode(rc4_transform(FakeAccountServer::server_random(request.index, 17),
                                             request_key())) +
                    "\"" + u8(u8"中");
      return answer;
    });
    server.set_random_length(17);
    Result result = run(server.url(), decode);
    EXPECT_EQ(result.outcome, decode ? ExchangeOutcome::opened : ExchangeOutcome::unreachable);
    if (decode) {
      EXPECT_EQ(result.reply.get_text("ok"), "1");
    }
  }
}

TEST(Exchange, HandshakeTimestampCountsFromEightOClock) {
  const char* saved = std::getenv("TZ");
  const std::string old = saved ? saved : "";
  struct Zone {
    const char* tz;
    long long offset;  // local minus UTC, seconds
  };
  for (const Zone zone : {Zone{"CST-8", 8 * 3600}, Zone{"UTC0", 0}}) {
    SCOPED_TRACE(zone.tz);
    setenv("TZ", zone.tz, 1);
    tzset();
    const long long before = std::time(nullptr);
    const std::string stamp = handshake_timestamp();
    const long long after = std::time(nullptr);
    ASSERT_GE(stamp.size(), 4u);
    EXPECT_EQ(stamp.substr(stamp.size() - 3), "000");
    const long long seconds = std::stoll(stamp.substr(0, stamp.size() - 3));
    EXPECT_GE(seconds, before + zone.offset - 8 * 3600);
    EXPECT_LE(seconds, after + zone.offset - 8 * 3600);
  }
  if (saved) setenv("TZ", old.c_str(), 1); else unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace sd
