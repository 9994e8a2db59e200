// The five operations against a scripted server: exact request texts, success tests, outputs.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "src/http/code_page.h"
#include "src/protocol/operations.h"
#include "tests/protocol/fake_account_server.h"

namespace sd {
namespace {

using test::FakeAccountServer;
using Answer = FakeAccountServer::Answer;
using Request = FakeAccountServer::Request;

using test::u8;

CallOptions quick(ExchangeOutcome* outcome = nullptr) {
  CallOptions options;
  options.exchange.handshake_attempts = 2;
  options.exchange.data_attempts = 2;
  options.exchange.first_pause_ms = 5;
  options.exchange.timeout_seconds = 5;
  options.outcome = outcome;
  return options;
}

// A server whose every data request is answered with the given opened reply (UTF-8 JSON).
FakeAccountServer::Script replying(std::string json) {
  return [json](const Request& request) {
    if (request.handshake) return FakeAccountServer::default_answer(request);
    return FakeAccountServer::opened_answer(json, request.client_random);
  };
}

std::string last_plain(const FakeAccountServer& server) {
  const auto requests = server.requests();
  return requests.empty() ? "" : requests.back().plain;
}

TEST(Operations, SendExactlyTheirRequestTexts) {
  FakeAccountServer server;
  std::string code, message, a, b, c, d;
  InitReply init_reply;
  struct Case {
    const char* name;
    std::function<void()> call;
    std::string tail;
  };
  const std::string url = server.url();
  const Case cases[] = {
      {"init", [&] { init(url, "888", "wzpkyl", "windows", init_reply, code, message, quick()); },
       "%22,%22funname%22:%22init%22,%22cpname%22:%22wzpkyl%22,%22platform%22:%22windows%22,"
       "%22appid%22:%22888%22,%22param%22:null%7D"},
      {"login", [&] { login(url, "张三", "pw1", "888", a, b, c, d, code, message, quick()); },
       "%22,%22funname%22:%22login%22,%22appid%22:%22888%22,%22param%22:%5B%22张三%22,%22pw1%22%5D%7D"},
      {"reg", [&] { reg(url, "u", "p", "12345", "888", code, message, quick()); },
       "%22,%22funname%22:%22reg%22,%22appid%22:%22888%22,%22param%22:%5B%22u%22,%22p%22,%2212345%22%5D%7D"},
      {"hearlog", [&] { hearlog(url, "tok", "888", code, message, quick()); },
       "%22,%22funname%22:%22hearlog%22,%22appid%22:%22888%22,%22param%22:%5B%22tok%22%5D%7D"},
      {"change_pawd", [&] { change_pawd(url, "888", "tok", "old", "new", code, message, quick()); },
       "%22,%22funname%22:%22change_pawd%22,%22appid%22:%22888%22,%22param%22:%5B%22tok%22,"
       "%22old%22,%22new%22%5D%7D"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.call();
    const std::string plain = last_plain(server);
    ASSERT_GE(plain.size(), 21u);
    EXPECT_EQ(plain.substr(0, 17), "%7B%22rand%22:%22");
    const int rand = std::stoi(plain.substr(17, 4));
    EXPECT_GE(rand, 1000);
    EXPECT_LE(rand, 9999);
    EXPECT_EQ(plain.substr(21), c.tail);
    EXPECT_FALSE(FakeAccountServer::request_json_utf8(plain).empty());
  }
}

TEST(Operations, InitReadsEveryMemberAndNeedsUserurl) {
  const std::string members =
      u8(u8R"("qq":"10001","advert3":"a3","advert2":"a2","advert1":"a1","drawurl":"d",)"
         u8R"("version":"1.0.2","proupurl":"http://p/","newphase":"7","upAppMsg":"新版本",)"
         u8R"("wzp_url":"ABC123")");
  for (bool with_userurl : {true, false}) {
    SCOPED_TRACE(with_userurl);
    FakeAccountServer server(replying(
        "{" + members + (with_userurl ? R"(,"userurl":"http://127.0.0.1/u"})" : "}")));
    InitReply out;
    out.userurl = "stale";
    std::string code = "c", message = "m";
    const int result = init(server.url(), "888", "wzpkyl", "windows", out, code, message, quick());
    EXPECT_EQ(result, with_userurl ? 1 : 0);
    EXPECT_EQ(out.userurl, with_userurl ? "http://127.0.0.1/u" : "");
    EXPECT_EQ(out.qq, "10001");
    EXPECT_EQ(out.advert1 + out.advert2 + out.advert3 + out.drawurl + out.newphase, "a1a2a3d7");
    EXPECT_EQ(out.version, "1.0.2");
    EXPECT_EQ(out.proupurl, "http://p/");
    EXPECT_EQ(out.upAppMsg, "新版本");
    EXPECT_EQ(out.wzp_url, "\"ABC123\"");  // read as JSON: the quotes stay
    EXPECT_EQ(code + message, "cm");
  }
}

TEST(Operations, SuccessTests) {
  struct Case {
    const char* name;
    std::string reply;  // opened reply, UTF-8 JSON
    std::function<std::string(const std::string& url, std::string& code, std::string& message)> call;
    std::string expected;
  };
  const Case cases[] = {
      {"login with only a token", R"({"token":"T"})",
       [](const std::string& url, std::string& code, std::string& message) {
         std::string user = "u", token, level = "l", id = "i";
         const int r = login(url, "acc", "pw", "888", user, token, level, id, code, message, quick());
         return std::to_string(r) + "|" + user + "|" + token + "|" + level + "|" + id;
       },
       "1||T||"},
      {"login with nothing", R"({"other":"x"})",
       [](const std::string& url, std::string& code, std::string& message) {
         std::string user, token, level, id;
         return std::to_string(login(url, "acc", "pw", "888", user, token, level, id, code, message, quick()));
       },
       "0"},
      {"login reads numbers as digits", R"({"user":"acc","id":42,"token":"T","level":3})",
       [](const std::string& url, std::string& code, std::string& message) {
         std::string user, token, level, id;
         const int r = login(url, "acc", "pw", "888", user, token, level, id, code, message, quick());
         return std::to_string(r) + "|" + user + "|" + id + "|" + level;
       },
       "1|acc|42|3"},
      {"reg echoing both", u8(u8R"({"user":"用户","password":"pw"})"),
       [](const std::string& url, std::string& code, std::string& message) {
         return std::to_string(reg(url, "用户", "pw", "1", "888", code, message, quick()));
       },
       "1"},
      {"reg echoing another password", R"({"user":"acc","password":"other"})",
       [](const std::string& url, std::string& code, std::string& message) {
         return std::to_string(reg(url, "acc", "pw", "1", "888", code, message, quick()));
       },
       "0"},
      {"reg echoing another user", R"({"user":"someone","password":"pw"})",
       [](const std::string& url, std::string& code, std::string& message) {
         return std::to_string(reg(url, "acc", "pw", "1", "888", code, message, quick()));
       },
       "0"},
      {"hearlog with a token", R"({"token":"NEW"})",
       [](const std::string& url, std::string& code, std::string& message) {
         return hearlog(url, "OLD", "888", code, message, quick());
       },
       "NEW"},
      {"hearlog with an empty token", R"({"token":""})",
       [](const std::string& url, std::string& code, std::string& message) {
         return hearlog(url, "OLD", "888", code, message, quick());
       },
       ""},
      {"change_pawd done", u8(u8R"({"msg":"修改密码成功！"})"),
       [](const std::string& url, std::string& code, std::string& message) {
         return std::to_string(change_pawd(url, "888", "T", "a", "b", code, message, quick()));
       },
       "1"},
      {"change_pawd with a half-width !", u8(u8R"({"msg":"修改密码成功!"})"),
       [](const std::string& url, std::string& code, std::string& message) {
         return std::to_string(change_pawd(url, "888", "T", "a", "b", code, message, quick()));
       },
       "0"},
      {"change_pawd without the !", u8(u8R"({"msg":"修改密码成功"})"),
       [](const std::string& url, std::string& code, std::string& message) {
         return std::to_string(change_pawd(url, "888", "T", "a", "b", code, message, quick()));
       },
       "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAccountServer server(replying(c.reply));
    std::string code = "old code", message = "old message";
    EXPECT_EQ(c.call(server.url(), code, message), c.expected);
    EXPECT_EQ(code, "old code");
    EXPECT_EQ(message, "old message");
  }
}

TEST(Operations, FailuresReportTheOutcome) {
  FakeAccountServer refusing([](const Request& request) {
    if (request.handshake) return FakeAccountServer::default_answer(request);
    return FakeAccountServer::refused_answer("-9", u8(u8"登录已过期"));
  });
  const std::string nowhere = "http://127.0.0.1:" + std::to_string(test::closed_port()) + "/api";
  struct Case {
    std::string url;
    ExchangeOutcome outcome;
    std::string code;
  };
  for (const Case& c : {Case{refusing.url(), ExchangeOutcome::refused, "-9"},
                        Case{nowhere, ExchangeOutcome::unreachable, "9001"}}) {
    SCOPED_TRACE(c.code);
    ExchangeOutcome outcome = ExchangeOutcome::opened;
    std::string code, message, opened = "untouched";
    CallOptions options = quick(&outcome);
    options.opened_text = &opened;
    EXPECT_EQ(hearlog(c.url, "T", "888", code, message, options), "error");
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(code, c.code);
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(opened, "untouched");

    outcome = ExchangeOutcome::opened;
    EXPECT_EQ(change_pawd(c.url, "888", "T", "a", "b", code, message, options), 0);
    EXPECT_EQ(outcome, c.outcome);
  }
}

TEST(Operations, OpenedTextGivesTheWholeReply) {
  FakeAccountServer server(replying(u8(u8R"({"token":"T","名":"值"})")));
  ExchangeOutcome outcome = ExchangeOutcome::unreachable;
  std::string code, message, opened;
  CallOptions options = quick(&outcome);
  options.opened_text = &opened;
  EXPECT_EQ(hearlog(server.url(), "T0", "888", code, message, options), "T");
  EXPECT_EQ(outcome, ExchangeOutcome::opened);
  const auto json = nlohmann::json::parse(local_to_utf8(opened));
  EXPECT_EQ(json.value("token", ""), "T");
  EXPECT_EQ(json.value(u8(u8"名"), ""), u8(u8"值"));
}

TEST(Operations, EscapeRequestValue) {
  struct Case {
    std::string value, escaped;
  };
  const Case cases[] = {
      {"plain 123", "plain 123"},
      {"a\\b", "a\\\\b"},
      {"say \"hi\"", "say \\%22hi\\%22"},
      {"100%", "100%25"},
      {"%22", "%2522"},
      {"tab\there\n", "tab\\u0009here\\u000A"},
      {"誠", "誠"},          // D5 5C: the trail byte is no backslash
      {"表{}[]", "表{}[]"},  // 表 is B1 ED; braces cannot break the structure once quotes cannot
      {std::string("\x81"), std::string("\x81")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(escape_request_value(c.value), c.escaped);
  }
}

TEST(Operations, TypedValuesArriveIntact) {
  FakeAccountServer server(replying(R"({"token":"T"})"));
  const std::string values[] = {
      "back\\slash", "quo\"te", "per%cent %22 %7D", "中文密码誠", "a\",\"b\"]}", "line\nbreak",
  };
  for (const std::string& value : values) {
    SCOPED_TRACE(value);
    std::string user, token, level, id, code, message;
    EXPECT_EQ(login(server.url(), value, value + "!", "888", user, token, level, id, code,
                    message, quick()),
              1);
    const std::string json = FakeAccountServer::request_json_utf8(last_plain(server));
    ASSERT_FALSE(json.empty());
    const auto request = nlohmann::json::parse(json);
    EXPECT_EQ(request["funname"], "login");
    ASSERT_EQ(request["param"].size(), 2u);
    EXPECT_EQ(request["param"][0], local_to_utf8(value));
    EXPECT_EQ(request["param"][1], local_to_utf8(value + "!"));
  }
}

}  // namespace
}  // namespace sd
