// The wire as a client meets it: handshake, sealed requests, replays, refusals, faults.
#include <thread>

#include "server/refusals.h"
#include "src/app/page_titles.h"
#include "src/http/code_page.h"
#include "src/protocol/codec.h"
#include "tests/server/server_fixture.h"

namespace sd::test {
namespace {

class WireTest : public ServerTest {};

TEST_F(WireTest, HandshakeIs44CharactersWithSealedRandomAndCookie) {
  start();
  const Handshake h = client().handshake("/api/init");
  EXPECT_EQ(h.status, 200);
  EXPECT_EQ(h.body.size(), 44u) << h.body;
  EXPECT_NE(h.body.find("data\":\""), std::string::npos);
  EXPECT_EQ(h.body.substr(h.body.size() - 2), "\"}");
  EXPECT_EQ(h.random.size(), 12u);
  EXPECT_EQ(h.cookie.rfind("SDSESSION=", 0), 0u) << h.cookie;
  EXPECT_NE(client().handshake().random, h.random);
}

TEST_F(WireTest, FullAccountRoad) {
  start();
  auto c = client();
  DataReply r = c.call("reg", {"alice", "pw1", "12345"});
  ASSERT_TRUE(r.opened.is_object()) << r.body;
  EXPECT_EQ(r.errcode(), "0");
  EXPECT_EQ(r.opened["user"], "alice");
  EXPECT_EQ(r.opened["password"], "pw1");

  r = c.call("login", {"alice", "pw1"});
  ASSERT_TRUE(r.opened.is_object()) << r.body;
  EXPECT_EQ(r.opened["user"], "alice");
  EXPECT_FALSE(r.opened["id"].get<std::string>().empty());
  EXPECT_FALSE(r.opened["level"].get<std::string>().empty());
  const std::string token = r.member("token");
  EXPECT_EQ(token.size(), 32u);

  r = c.call("hearlog", {token});
  ASSERT_TRUE(r.opened.is_object()) << r.body;
  const std::string renewed = r.member("token");
  EXPECT_EQ(renewed.size(), 32u);
  EXPECT_NE(renewed, token);

  r = c.call("change_pawd", {renewed, "pw1", "pw2"});
  ASSERT_TRUE(r.opened.is_object()) << r.body;
  EXPECT_EQ(r.opened["msg"], local_to_utf8("修改密码成功！"));

  EXPECT_EQ(c.call("login", {"alice", "pw1"}).errcode(), refusal::wrong_password().code);
  EXPECT_TRUE(c.call("login", {"alice", "pw2"}).opened.is_object());
}

TEST_F(WireTest, InitAnnouncesAddressesAndAScrambledPageTable) {
  options_.version = "2.05";
  start();
  auto c = client();
  const DataReply r = c.call("init", {}, server_->init_path());
  ASSERT_TRUE(r.opened.is_object()) << r.body;
  const std::string base = server_->base_url();
  EXPECT_EQ(r.opened["userurl"], base + "/api/user");
  EXPECT_EQ(r.opened["version"], "2.05");
  for (const char* member : {"qq", "proupurl", "upAppMsg", "advert1", "advert2", "advert3",
                             "drawurl", "newphase"})
    EXPECT_TRUE(r.opened[member].is_string() && !r.opened[member].get<std::string>().empty())
        << member;

  // The client's decoding of the table, written out here.
  ASSERT_TRUE(r.opened["wzp_url"].is_string());
  const std::string table = r.opened["wzp_url"];
  ASSERT_GT(table.size(), 9u);
  std::string check = md5_hex_lower(table_key).substr(2, 9);
  for (char& ch : check) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  EXPECT_EQ(table.substr(table.size() - 9), check);
  std::string plain = hex_decode_pairs(table.substr(0, table.size() - 9));
  for (char& ch : plain) ch = static_cast<char>(ch ^ (table_scramble_constant & 0xFF));
  const auto doc = nlohmann::json::parse(local_to_utf8(plain), nullptr, false);
  ASSERT_TRUE(doc.is_array() && doc[0].is_object()) << local_to_utf8(plain);

  httplib::Client http("127.0.0.1", server_->port());
  for (std::size_t i = 0; i < page_titles.size(); ++i) {
    const std::string title = local_to_utf8(page_titles[i]);
    ASSERT_TRUE(doc[0].contains(title)) << title;
    const std::string address = doc[0][title];
    ASSERT_EQ(address.rfind(base + "/pages/", 0), 0u) << address;
    if (i % 10 != 0) continue;  // fetch a few of the pages
    auto page = http.Get(address.substr(base.size()));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("charset=\"utf-8\""), std::string::npos);
    EXPECT_NE(page->body.find(title), std::string::npos);
    EXPECT_NE(page->body.find(local_to_utf8("示例数据")), std::string::npos);
  }
  auto health = http.Get("/health");
  ASSERT_TRUE(health);
  EXPECT_EQ(health->status, 200);
  EXPECT_EQ(health->body, "ok");
}

TEST_F(WireTest, OperatorPageTableReplacesTheDemoAddresses) {
  nlohmann::json table;
  for (std::size_t i = 0; i < page_titles.size(); ++i)
    table[local_to_utf8(page_titles[i])] = "https://example.invalid/p" + std::to_string(i);
  options_.pages_path = (dir_ / "pages.json").string();
  std::ofstream(options_.pages_path) << table.dump();
  start();
  const DataReply r = client().call("init", {}, server_->init_path());
  ASSERT_TRUE(r.opened.is_object()) << r.body;
  const std::string scrambled = r.opened["wzp_url"];
  std::string plain = hex_decode_pairs(scrambled.substr(0, scrambled.size() - 9));
  for (char& ch : plain) ch = static_cast<char>(ch ^ (table_scramble_constant & 0xFF));
  const auto doc = nlohmann::json::parse(local_to_utf8(plain), nullptr, false);
  EXPECT_EQ(doc[0][local_to_utf8(page_titles[30])], "https://example.invalid/p30");

  // A table without every title is a start-up error.
  table.erase(local_to_utf8(page_titles[5]));
  std::ofstream(options_.pages_path) << table.dump();
  stop();
  AccountServer incomplete(options_);
  std::string error;
  EXPECT_FALSE(incomplete.start(error));
  EXPECT_NE(error.find(local_to_utf8(page_titles[5])), std::string::npos) << error;
}

TEST_F(WireTest, ValuesWithQuotesBackslashesPercentAndChineseArriveIntact) {
  start();
  auto c = client();
  const std::string account = "张三\"\\%7B誠";  // 誠 is D5 5C: its trail byte is a backslash
  const std::string password = "p\"w\\d%25 x";
  const DataReply r = c.call("reg", {escape_value(account), escape_value(password), "10001"});
  ASSERT_TRUE(r.opened.is_object()) << r.body;
  EXPECT_EQ(r.opened["user"], local_to_utf8(account));
  EXPECT_EQ(r.opened["password"], local_to_utf8(password));
  const DataReply login = c.call("login", {escape_value(account), escape_value(password)});
  ASSERT_TRUE(login.opened.is_object()) << login.body;
  EXPECT_EQ(login.opened["user"], local_to_utf8(account));
}

TEST_F(WireTest, IdenticalReplayGetsTheSameReplyAndRunsOnce) {
  start();
  auto c = client();
  c.call("reg", {"bob", "pw", "1"});
  const std::string token = c.call("login", {"bob", "pw"}).member("token");

  const Handshake h = c.handshake();
  const std::string body =
      "DATA=" + seal(request_text("4321", "hearlog", {token}), deploy_request_key(), h.random);
  const DataReply first = c.post("/api/user", h.cookie, body);
  const DataReply again = c.post("/api/user", h.cookie, body);
  ASSERT_TRUE(first.opened.is_object()) << first.body;
  EXPECT_EQ(again.status, 200);
  EXPECT_EQ(again.body, first.body);

  // Any other body under the used random is refused.
  const std::string other =
      "DATA=" + seal(request_text("4321", "hearlog", {"x"}), deploy_request_key(), h.random);
  EXPECT_EQ(c.post("/api/user", h.cookie, other).errcode(), refusal::used_random().code);
  // The heartbeat ran once: the token it replaced is still in its grace period (a second run
  // would have replaced the renewed token and dropped the original one).
  EXPECT_TRUE(c.call("change_pawd", {token, "pw", "pw2"}).opened.is_object());
  EXPECT_TRUE(c.call("hearlog", {first.member("token")}).opened.is_object());
}

TEST_F(WireTest, MissingUnknownAndExpiredRandomsAreRefused) {
  options_.random_lifetime = std::chrono::milliseconds(200);
  start();
  auto c = client();
  const std::string key = deploy_request_key();
  const std::string plain = request_text("4321", "login", {"a", "b"});
  EXPECT_EQ(c.post("/api/user", "", "DATA=" + seal(plain, key, "whatever")).errcode(),
            refusal::bad_random().code);
  EXPECT_EQ(c.post("/api/user", "SDSESSION=00ff", "DATA=" + seal(plain, key, "whatever")).errcode(),
            refusal::bad_random().code);

  const Handshake h = c.handshake();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const DataReply late = c.post("/api/user", h.cookie, "DATA=" + seal(plain, key, h.random));
  EXPECT_EQ(late.errcode(), refusal::bad_random().code);
  EXPECT_FALSE(late.msg().empty());
  EXPECT_EQ(late.outer["data"], "");
}

TEST_F(WireTest, BadRequestsGetClearRefusals) {
  start();
  auto c = client();
  const std::string key = deploy_request_key();
  struct Case {
    const char* name;
    std::string plain;  // sealed under a fresh random, or sent as is when raw
    bool raw;
    std::string code;
  };
  const std::string big(70 * 1024, 'A');
  const std::vector<Case> cases = {
      {"no DATA= prefix", "hello", true, refusal::malformed_request().code},
      {"not hexadecimal", "DATA=XYZ", true, refusal::malformed_request().code},
      {"odd hexadecimal", "DATA=ABC", true, refusal::malformed_request().code},
      {"not JSON", "garbage", false, refusal::malformed_request().code},
      {"raw quote in a value", request_text("4321", "login", {"a\"b", "c"}), false,
       refusal::malformed_request().code},
      {"param not strings", "%7B%22rand%22:%224321%22,%22funname%22:%22login%22,%22param%22:"
                            "%5B1,2%5D%7D", false, refusal::malformed_request().code},
      {"no rand", "%7B%22funname%22:%22login%22,%22param%22:%5B%22a%22,%22b%22%5D%7D", false,
       refusal::malformed_request().code},
      {"deep nesting", "%7B%22rand%22:%224321%22,%22funname%22:%22login%22,%22x%22:" +
                           std::string(500, '[') + std::string(500, ']') + "%7D",
       false, refusal::malformed_request().code},
      {"unknown funname", request_text("4321", "logout", {"a"}), false,
       refusal::unknown_function().code},
      {"too few params", request_text("4321", "login", {"a"}), false,
       refusal::malformed_request().code},
      {"empty password", request_text("4321", "login", {"a", ""}), false,
       refusal::empty_fields().code},
      {"empty qq", request_text("4321", "reg", {"a", "b", ""}), false,
       refusal::empty_fields().code},
      {"overlong account", request_text("4321", "reg", {std::string(65, 'a'), "b", "1"}), false,
       refusal::field_too_long().code},
      {"unknown token", request_text("4321", "hearlog", {"0123"}), false,
       refusal::token_expired().code},
      {"empty token", request_text("4321", "change_pawd", {"", "a", "b"}), false,
       refusal::token_expired().code},
  };
  for (const Case& t : cases) {
    const Handshake h = c.handshake();
    const std::string body = t.raw ? t.plain : "DATA=" + seal(t.plain, key, h.random);
    const DataReply r = c.post("/api/user", h.cookie, body);
    EXPECT_EQ(r.status, 200) << t.name;
    EXPECT_EQ(r.errcode(), t.code) << t.name << ": " << r.body;
    EXPECT_FALSE(r.msg().empty()) << t.name;
    EXPECT_TRUE(r.opened.is_null()) << t.name;
  }
  // A body over the bound is turned away by the HTTP layer.
  EXPECT_EQ(c.post("/api/user", c.handshake().cookie, "DATA=" + big).status, 413);
  // The server still works.
  EXPECT_TRUE(c.call("reg", {"after", "garbage", "1"}).opened.is_object());
}

TEST_F(WireTest, AccountRefusals) {
  start();
  auto c = client();
  ASSERT_TRUE(c.call("reg", {"carol", "pw", "1"}).opened.is_object());
  EXPECT_EQ(c.call("reg", {"carol", "other", "2"}).errcode(), refusal::account_exists().code);
  EXPECT_EQ(c.call("login", {"carol", "nope"}).errcode(), refusal::wrong_password().code);
  EXPECT_EQ(c.call("login", {"nobody", "pw"}).errcode(), refusal::wrong_password().code);
  const std::string token = c.call("login", {"carol", "pw"}).member("token");
  EXPECT_EQ(c.call("change_pawd", {token, "nope", "new"}).errcode(),
            refusal::wrong_old_password().code);
  EXPECT_EQ(c.call("change_pawd", {token, "pw", ""}).errcode(), refusal::empty_fields().code);
}

TEST_F(WireTest, FaultSwitches) {
  options_.fault_first_handshake_error = true;
  options_.fault_first_data_500 = true;
  options_.fault_refuse_heartbeats_after = 1;
  start();
  auto c = client();
  const Handshake bad = c.handshake();
  EXPECT_NE(bad.status, 200);
  EXPECT_NE(bad.body.size(), 44u);
  EXPECT_TRUE(bad.random.empty());

  // The first data request is worked on but answered 500; the re-post gets the real reply.
  const Handshake h = c.handshake();
  ASSERT_EQ(h.body.size(), 44u);
  const std::string body =
      "DATA=" + seal(request_text("4321", "reg", {"dave", "pw", "1"}), deploy_request_key(), h.random);
  EXPECT_EQ(c.post("/api/user", h.cookie, body).status, 500);
  const DataReply replayed = c.post("/api/user", h.cookie, body);
  ASSERT_TRUE(replayed.opened.is_object()) << replayed.body;
  EXPECT_EQ(replayed.opened["user"], "dave");

  // A request carrying the failed handshake's cookie is told so.
  const Handshake h2 = c.handshake();
  const std::string login =
      "DATA=" + seal(request_text("4321", "login", {"dave", "pw"}), deploy_request_key(), h2.random);
  EXPECT_EQ(c.post("/api/user", h2.cookie + "; SDSTALE=1", login).errcode(),
            refusal::stale_session().code);

  const std::string token = c.call("login", {"dave", "pw"}).member("token");
  const DataReply beat = c.call("hearlog", {token});
  ASSERT_TRUE(beat.opened.is_object()) << beat.body;
  EXPECT_EQ(c.call("hearlog", {beat.member("token")}).errcode(),
            refusal::heartbeat_refused().code);
}

}  // namespace
}  // namespace sd::test
