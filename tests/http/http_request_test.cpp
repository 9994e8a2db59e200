// http_request against a real server on 127.0.0.1: what goes on the wire, what comes back.
#include "src/http/http_request.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <thread>  // std::chrono clocks; <chrono> itself does not build with a GBK execution charset

#include "tests/http/raw_server.h"

namespace sd {
namespace {

using test::http_reply;
using test::RawServer;
using test::Reply;

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

std::string name_of(const std::string& line) { return lower(line.substr(0, line.find(':'))); }

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// ---- what goes on the wire ----

struct WireCase {
  const char* name;
  int method;
  std::string path;
  std::string body;
  std::string extra_headers;
  std::optional<std::string> cookies;
  std::string request_line;
  std::vector<std::string> lines;   // each must be sent exactly as written
  std::vector<std::string> absent;  // header names (lower case) that must not be sent
  std::string sent_body;
};

TEST(HttpRequestWire, HeaderBlockMethodAndObjectName) {
  const std::string ua =
      "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)";
  const std::string form = "Content-Type: application/x-www-form-urlencoded";
  const std::vector<WireCase> cases = {
      {"defaults, no path", 0, "", "", "", std::nullopt, "GET / HTTP/1.1",
       {ua, "Accept: text/html, application/xhtml+xml, */*", "Accept-Encoding: gbk, GB2312",
        "Accept-Language: zh-cn", "Cache-Control: no-cache"},
       {"cookie", "content-type", "expect", "content-length"}, ""},
      {"method 8 is GET, query follows path", 8, "/a/b?x=1&y=2", "", "", std::nullopt,
       "GET /a/b?x=1&y=2 HTTP/1.1", {}, {}, ""},
      {"method -1 is GET", -1, "/", "", "", std::nullopt, "GET / HTTP/1.1", {}, {}, ""},
      {"POST form", 1, "/api", "DATA=GETRAND?123", "", std::string(), "POST /api HTTP/1.1",
       {form, "Content-Length: 16"}, {"cookie", "expect"}, "DATA=GETRAND?123"},
      {"POST empty body", 1, "/", "", "", std::nullopt, "POST / HTTP/1.1",
       {form, "Content-Length: 0"}, {}, ""},
      {"Content-Type exact case suppresses", 1, "/", "x", "Content-Type: text/plain", std::nullopt,
       "POST / HTTP/1.1", {"Content-Type: text/plain"}, {}, "x"},
      {"content-type lower case is replaced", 1, "/", "x", "content-type: text/plain",
       std::nullopt, "POST / HTTP/1.1", {form}, {}, "x"},
      {"user-agent any case suppresses", 0, "/", "", "user-agent: X", std::nullopt,
       "GET / HTTP/1.1", {"user-agent: X"}, {}, ""},
      {"cookies supplied", 0, "/", "", "", std::string("a=1; b=2"), "GET / HTTP/1.1",
       {"Cookie: a=1; b=2"}, {}, ""},
      {"cookies supplied empty", 0, "/", "", "", std::string(), "GET / HTTP/1.1", {}, {"cookie"}, ""},
      {"cookie line of the caller, cookies not supplied", 0, "/", "", "Cookie: z=9", std::nullopt,
       "GET / HTTP/1.1", {"Cookie: z=9"}, {}, ""},
      {"cookie line of the caller wins over cookies", 0, "/", "", "Cookie: z=9", std::string("a=1"),
       "GET / HTTP/1.1", {"Cookie: z=9"}, {}, ""},
      {"later line replaces earlier", 0, "/", "", "X-A: 1\r\nx-a: 2\r\nAccept: */*", std::nullopt,
       "GET / HTTP/1.1", {"x-a: 2", "Accept: */*"}, {}, ""},
      {"empty value removes", 0, "/", "", "X-A: 1\r\nX-A:", std::nullopt, "GET / HTTP/1.1", {},
       {"x-a"}, ""},
      {"HEAD", 2, "/", "", "", std::nullopt, "HEAD / HTTP/1.1", {}, {}, ""},
      {"PUT with body, no form type", 3, "/r", "abc", "", std::nullopt, "PUT /r HTTP/1.1",
       {"Content-Length: 3"}, {"content-type"}, "abc"},
      {"DELETE", 5, "/r", "", "", std::nullopt, "DELETE /r HTTP/1.1", {}, {}, ""},
  };
  RawServer server([](const std::string&) { return Reply{http_reply("200 OK", {}, "ok")}; });
  for (const WireCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string cookies = c.cookies.value_or("");
    std::string status;
    HttpParams p;
    p.url = "http://127.0.0.1:" + std::to_string(server.port()) + c.path;
    p.method = c.method;
    p.body = c.body;
    p.extra_headers = c.extra_headers;
    p.cookies = c.cookies ? &cookies : nullptr;
    p.status = &status;
    const std::string text = http_request(p);
    EXPECT_EQ(status, "200 OK");
    EXPECT_EQ(text, c.method == 2 ? "" : "ok");
    const std::vector<std::string> requests = server.requests();
    ASSERT_FALSE(requests.empty());
    const std::vector<std::string> lines = test::head_lines(requests.back());
    EXPECT_EQ(lines.front(), c.request_line);
    for (const std::string& want : c.lines) {
      EXPECT_EQ(std::count(lines.begin(), lines.end(), want), 1) << want;
    }
    std::vector<std::string> names;
    for (std::size_t i = 1; i < lines.size(); ++i) names.push_back(name_of(lines[i]));
    for (const std::string& name : names) {
      EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << "one line per name: " << name;
    }
    for (const std::string& name : c.absent) {
      EXPECT_EQ(std::count(names.begin(), names.end(), name), 0) << name;
    }
    EXPECT_EQ(test::request_body(requests.back()), c.sent_body);
  }
}

TEST(HttpRequestWire, BasicCredentialsForServerAndProxy) {
  RawServer server([](const std::string&) { return Reply{http_reply("200 OK", {}, "s")}; });
  RawServer proxy([](const std::string&) { return Reply{http_reply("200 OK", {}, "p")}; });

  HttpParams p;
  p.url = server.url("/x");
  p.server_user_name = "user";
  p.server_password = "pass";
  EXPECT_EQ(http_request(p), "s");
  std::vector<std::string> lines = test::head_lines(server.requests().at(0));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Authorization: Basic dXNlcjpwYXNz"), 1);

  p.server_password.clear();  // one of the two empty: no credentials
  EXPECT_EQ(http_request(p), "s");
  lines = test::head_lines(server.requests().at(1));
  EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                           [](const std::string& l) { return name_of(l) == "authorization"; }));

  // A named proxy gets the absolute address; the target host is never resolved or contacted.
  HttpParams q;
  q.url = "http://stock.example.invalid/p?a=1";
  q.proxy = "127.0.0.1:" + std::to_string(proxy.port());
  q.proxy_user_name = "pu";
  q.proxy_password = "pp";
  EXPECT_EQ(http_request(q), "p");
  lines = test::head_lines(proxy.requests().at(0));
  EXPECT_EQ(lines.front(), "GET http://stock.example.invalid/p?a=1 HTTP/1.1");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Proxy-Authorization: Basic cHU6cHA="), 1);
}

TEST(HttpRequestWire, EnvironmentProxyIsIgnored) {
  RawServer server([](const std::string&) { return Reply{http_reply("200 OK", {}, "direct")}; });
  RawServer env_proxy([](const std::string&) { return Reply{http_reply("200 OK", {}, "proxied")}; });
  const std::string proxy_url = env_proxy.url("");
  ::setenv("http_proxy", proxy_url.c_str(), 1);
  ::setenv("HTTP_PROXY", proxy_url.c_str(), 1);
  ::setenv("ALL_PROXY", proxy_url.c_str(), 1);
  HttpParams p;
  p.url = server.url("/");
  const std::string text = http_request(p);
  ::unsetenv("http_proxy");
  ::unsetenv("HTTP_PROXY");
  ::unsetenv("ALL_PROXY");
  EXPECT_EQ(text, "direct");
  EXPECT_TRUE(env_proxy.requests().empty());
}

// ---- what comes back ----

struct ResponseCase {
  const char* name;
  std::string response;
  std::optional<std::string> cookies;     // in
  std::optional<bool> auto_merge;
  std::string text;
  std::string status;
  std::string received_cookies;
  std::string cookies_after;
  std::string body_bytes;                 // empty: the text
};

TEST(HttpRequestResponse, CookiesBodyAndCharset) {
  const std::string utf8_page = "<html><head><meta charset=\"utf-8\"></head><p>\xE4\xB8\xAD\xE6\x96\x87</p>";
  const std::string padding(1100, ' ');
  const std::vector<ResponseCase> cases = {
      {"two Set-Cookie lines, not supplied",
       http_reply("200 OK", {"Set-Cookie: a=1; path=/", "set-cookie: b=2"}, "ok"), std::nullopt,
       std::nullopt, "ok", "200 OK", "a=1; b=2", "", ""},
      {"no Set-Cookie clears, not supplied", http_reply("200 OK", {}, "ok"), std::nullopt,
       std::nullopt, "ok", "200 OK", "", "", ""},
      {"no Set-Cookie clears, supplied empty", http_reply("200 OK", {}, "ok"), std::string(),
       std::nullopt, "ok", "200 OK", "", "", ""},
      {"merged into cookies", http_reply("200 OK", {"Set-Cookie: a=1; path=/"}, "ok"),
       std::string("a=0; c=3"), std::nullopt, "ok", "200 OK", "a=1; c=3", "a=1; c=3", ""},
      {"merge switched off", http_reply("200 OK", {"Set-Cookie: a=1"}, "ok"), std::string("a=0"),
       false, "ok", "200 OK", "a=1", "a=0", ""},
      {"deleted cookie leaves both", http_reply("200 OK", {"Set-Cookie: a=deleted; path=/"}, "ok"),
       std::string("a=0"), std::nullopt, "ok", "200 OK", "", "", ""},
      {"zero byte ends the text", http_reply("200 OK", {}, std::string("ab\0cd", 5)), std::nullopt,
       std::nullopt, "ab", "200 OK", "", "", std::string("ab\0cd", 5)},
      {"error status is a response", http_reply("404 Not Found", {}, "nope"), std::nullopt,
       std::nullopt, "nope", "404 Not Found", "", "", ""},
      {"meta utf-8 re-decoded", http_reply("200 OK", {}, utf8_page), std::nullopt, std::nullopt,
       "<html><head><meta charset=\"utf-8\"></head><p>中文</p>", "200 OK", "", "", utf8_page},
      {"meta gbk kept", http_reply("200 OK", {}, "<meta charset=gbk>中文"), std::nullopt,
       std::nullopt, "<meta charset=gbk>中文", "200 OK", "", "", ""},
      {"meta after byte 1024 not seen", http_reply("200 OK", {}, padding + utf8_page),
       std::nullopt, std::nullopt, padding + utf8_page, "200 OK", "", "", ""},
      {"unknown charset kept", http_reply("200 OK", {}, "<meta charset=x-none-such>\xE4\xB8\xAD"),
       std::nullopt, std::nullopt, "<meta charset=x-none-such>\xE4\xB8\xAD", "200 OK", "", "", ""},
  };
  std::string current;
  RawServer server([&current](const std::string&) { return Reply{current}; });
  for (const ResponseCase& c : cases) {
    SCOPED_TRACE(c.name);
    current = c.response;
    std::string cookies = c.cookies.value_or("");
    std::string received_cookies = "old=1";
    std::string received_headers;
    std::string status;
    std::string body_bytes;
    HttpParams p;
    p.url = server.url("/");
    p.cookies = c.cookies ? &cookies : nullptr;
    p.auto_merge_cookies = c.auto_merge;
    p.received_cookies = &received_cookies;
    p.received_headers = &received_headers;
    p.status = &status;
    p.body_bytes = &body_bytes;
    EXPECT_EQ(http_request(p), c.text);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(received_cookies, c.received_cookies);
    EXPECT_EQ(cookies, c.cookies_after);
    EXPECT_EQ(body_bytes, c.body_bytes.empty() ? c.text : c.body_bytes);
    EXPECT_EQ(received_headers.substr(0, 9 + c.status.size() + 2), "HTTP/1.1 " + c.status + "\r\n");
    EXPECT_EQ(received_headers.find("set-cookie"), std::string::npos);
    EXPECT_TRUE(received_headers.ends_with("\r\n\r\n"));
  }
}

TEST(HttpRequestResponse, NoRedirectReturnsTheRedirect) {
  RawServer server([](const std::string&) {
    return Reply{http_reply("302 Found", {"Location: /next"}, "moved")};
  });
  std::string status;
  std::string location;
  HttpParams p;
  p.url = server.url("/");
  p.no_redirect = true;
  p.status = &status;
  p.redirect_location = &location;
  EXPECT_EQ(http_request(p), "moved");
  EXPECT_EQ(status, "302 Found");
  EXPECT_EQ(location, "/next");
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST(HttpRequestResponse, RedirectFollowedKeepsOnlyTheFinalResponse) {
  RawServer server([](const std::string& request) {
    if (request.starts_with("POST /start ") || request.starts_with("GET /start ")) {
      return Reply{http_reply("302 Found", {"Location: /final", "Set-Cookie: s=1", "X-First: 1"}, "")};
    }
    return Reply{http_reply("200 OK", {"X-Final: 1"}, "done")};
  });
  for (const bool supplied : {true, false}) {
    SCOPED_TRACE(supplied ? "cookies supplied" : "cookies not supplied");
    const std::size_t before = server.requests().size();
    std::string cookies;
    std::string headers;
    std::string status;
    std::string location = "untouched";
    HttpParams p;
    p.url = server.url("/start");
    p.method = 1;
    p.body = "DATA=x";
    p.cookies = supplied ? &cookies : nullptr;
    p.received_headers = &headers;
    p.status = &status;
    p.redirect_location = &location;
    EXPECT_EQ(http_request(p), "done");
    EXPECT_EQ(status, "200 OK");
    EXPECT_TRUE(headers.starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_NE(headers.find("X-Final: 1\r\n"), std::string::npos);
    EXPECT_EQ(headers.find("X-First"), std::string::npos);
    EXPECT_EQ(location, "untouched");
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), before + 2);
    const std::vector<std::string> second = test::head_lines(requests.back());
    EXPECT_EQ(second.front(), "GET /final HTTP/1.1");  // a POST becomes a GET after a 302
    EXPECT_EQ(test::request_body(requests.back()), "");
    // Cookies set on the way are carried to the target only while the cookie engine is on.
    EXPECT_EQ(std::count(second.begin(), second.end(), "Cookie: s=1"), supplied ? 1 : 0);
  }
}

TEST(HttpRequestResponse, BodyCutShortKeepsTheBytesRead) {
  // Content-Length promises 10 bytes; 4 arrive, then the server closes (or falls silent).
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabcd";
  for (const bool hold : {false, true}) {
    SCOPED_TRACE(hold ? "server falls silent" : "server closes");
    RawServer server([&](const std::string&) { return Reply{head, hold}; });
    std::string status;
    std::string body_bytes;
    HttpParams p;
    p.url = server.url("/");
    p.timeout_seconds = 1;
    p.status = &status;
    p.body_bytes = &body_bytes;
    EXPECT_EQ(http_request(p), "abcd");
    EXPECT_EQ(status, "200 OK");
    EXPECT_EQ(body_bytes, "abcd");
  }
}

// ---- failures ----

TEST(HttpRequestFailure, EarlyFailuresWriteOnlyStatus) {
  RawServer server([](const std::string&) { return Reply{http_reply("200 OK", {}, "ok")}; });
  struct Case {
    std::string url;
    std::string extra_headers;
    std::string status;
  };
  const std::vector<Case> cases = {
      {"", "", "701 解析URL地址失败!"},
      {"127.0.0.1/x", "", "701 解析URL地址失败!"},
      {"ftp://127.0.0.1/x", "", "701 解析URL地址失败!"},
      {"http://", "", "701 解析URL地址失败!"},
      {"http://127.0.0.1/\x01", "", "701 解析URL地址失败!"},
      {server.url("/"), "NoColonHere", "710 设置协议头失败!"},
      {server.url("/"), "Bad Name: x", "710 设置协议头失败!"},
      {server.url("/"), "X-A: 1\nInjected: 2", "710 设置协议头失败!"},
      {"http://127.0.0.1:" + std::to_string(test::unused_port()) + "/", "", "711 发送请求失败!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url + " | " + c.extra_headers);
    std::string cookies = "k=1";
    std::string received_cookies = "rc";
    std::string received_headers = "rh";
    std::string location = "loc";
    std::string status = "st";
    std::string body_bytes = "bb";
    HttpParams p;
    p.url = c.url;
    p.extra_headers = c.extra_headers;
    p.cookies = &cookies;
    p.received_cookies = &received_cookies;
    p.received_headers = &received_headers;
    p.redirect_location = &location;
    p.status = &status;
    p.body_bytes = &body_bytes;
    EXPECT_EQ(http_request(p), "");
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(cookies + received_cookies + received_headers + location + body_bytes, "k=1rcrhlocbb");
  }
  EXPECT_TRUE(server.requests().empty());
}

TEST(HttpRequestFailure, StalledExchangeFailsByPhaseAfterTheTimeout) {
  RawServer silent([](const std::string&) { return Reply{"", true}; });
  test::SilentListener not_reading;
  struct Case {
    const char* name;
    std::string url;
    int method;
    std::string body;
    const char* status;
  };
  const std::vector<Case> cases = {
      {"GET never answered", silent.url("/"), 0, "", "712 服务器未响应!"},
      {"POST never answered", silent.url("/"), 1, "DATA=GETRAND?1", "712 服务器未响应!"},
      {"POST body never read", not_reading.url("/"), 1, std::string(32 << 20, 'x'),
       "711 发送请求失败!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string status;
    HttpParams p;
    p.url = c.url;
    p.method = c.method;
    p.body = c.body;
    p.timeout_seconds = 1;
    p.status = &status;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(http_request(p), "");
    const double elapsed = seconds_since(start);
    EXPECT_EQ(status, c.status);
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LT(elapsed, 5.0);
  }
}

TEST(HttpRequestFailure, TimeoutZeroOrNegativeIsThirtySecondsAndFiveIsFive) {
  // Each call runs against a silent server; the ones expected to wait 30 seconds are cancelled
  // at 2.5 seconds, which they must reach.
  struct Case {
    int timeout_seconds;
    double min_seconds;
    double max_seconds;
  };
  const std::vector<Case> cases = {{0, 2.4, 8.0}, {-1, 2.4, 8.0}, {5, 4.8, 12.0}};
  std::vector<double> elapsed(cases.size());
  std::vector<std::string> statuses(cases.size());
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    threads.emplace_back([&, i] {
      RawServer server([](const std::string&) { return Reply{"", true}; });
      std::atomic<bool> cancel{false};
      std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        if (cases[i].timeout_seconds <= 0) cancel = true;
      });
      HttpParams p;
      p.url = server.url("/");
      p.timeout_seconds = cases[i].timeout_seconds;
      p.status = &statuses[i];
      p.cancel = &cancel;
      const auto start = std::chrono::steady_clock::now();
      http_request(p);
      elapsed[i] = seconds_since(start);
      canceller.join();
    });
  }
  for (std::thread& t : threads) t.join();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].timeout_seconds);
    EXPECT_EQ(statuses[i], "712 服务器未响应!");
    EXPECT_GE(elapsed[i], cases[i].min_seconds);
    EXPECT_LT(elapsed[i], cases[i].max_seconds);
  }
}

// ---- the message pump hook ----

int pumped = 0;
void count_pump() { ++pumped; }

TEST(HttpRequestPump, HookRunsOnlyOnItsOwnThreadAfterTheResponse) {
  RawServer server([](const std::string&) {
    return Reply{http_reply("200 OK", {"A: 1", "B: 2"}, "ok")};
  });
  set_message_pump_hook(&count_pump);
  pumped = 0;
  HttpParams p;
  p.url = server.url("/");
  EXPECT_EQ(http_request(p), "ok");
  // One per header line (status line, A, B, Content-Length, Connection, the closing empty
  // line), one after the charset step, one on the way out.
  EXPECT_EQ(pumped, 8);

  pumped = 0;
  std::thread other([&] { http_request(p); });
  other.join();
  EXPECT_EQ(pumped, 0);

  p.url = "http://127.0.0.1:" + std::to_string(test::unused_port()) + "/";
  http_request(p);
  EXPECT_EQ(pumped, 0);  // never while failing on the network
  set_message_pump_hook(nullptr);
}

}  // namespace
}  // namespace sd
