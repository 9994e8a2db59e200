#include "tests/server/server_fixture.h"

#include <unistd.h>

#include <atomic>

#include "src/app/deployment.h"
#include "src/http/text.h"
#include "src/protocol/codec.h"

namespace sd::test {

std::string deploy_file() { return std::string(STOCKDESK_SOURCE_DIR) + "/deploy/local.conf"; }

std::string deploy_request_key() {
  std::string error;
  const auto file = load_deployment_file(deploy_file(), error);
  return file ? file->request_key : std::string();
}

std::string DataReply::errcode() const {
  return outer.is_object() && outer.contains("errcode") && outer["errcode"].is_string()
             ? outer["errcode"].get<std::string>()
             : std::string();
}

std::string DataReply::msg() const {
  return outer.is_object() && outer.contains("msg") && outer["msg"].is_string()
             ? outer["msg"].get<std::string>()
             : std::string();
}

std::string DataReply::member(const char* name) const {
  return opened.is_object() && opened.contains(name) && opened[name].is_string()
             ? opened[name].get<std::string>()
             : std::string();
}

std::string escape_value(const std::string& gbk) {
  std::string out;
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const auto b = static_cast<unsigned char>(gbk[i]);
    if (b >= 0x81 && b <= 0xFE && i + 1 < gbk.size()) {  // two-byte character: keep both
      out += gbk.substr(i, 2);
      ++i;
    } else if (gbk[i] == '\\') {
      out += "\\\\";
    } else if (gbk[i] == '"') {
      out += "\\%22";
    } else if (gbk[i] == '%') {
      out += "%25";
    } else {
      out += gbk[i];
    }
  }
  return out;
}

std::string request_text(const std::string& rand, const std::string& funname,
                         const std::vector<std::string>& param) {
  std::string text = "%7B%22rand%22:%22" + rand + "%22,%22funname%22:%22" + funname +
                     "%22,%22appid%22:%22888%22,%22param%22:";
  if (funname == "init") return text + "null%7D";
  text += "%5B";
  for (std::size_t i = 0; i < param.size(); ++i)
    text += (i ? ",%22" : "%22") + param[i] + "%22";
  return text + "%5D%7D";
}

std::string seal(const std::string& plain, const std::string& key, const std::string& random) {
  return hex_encode(rc4_transform(hex_encode(rc4_transform(plain, key)), random));
}

Handshake WireClient::handshake(const std::string& path) {
  httplib::Client http("127.0.0.1", port_);
  http.set_connection_timeout(5);
  http.set_read_timeout(10);
  Handshake out;
  auto result = http.Post(path, "DATA=GETRAND?1700000000000", "application/x-www-form-urlencoded");
  if (!result) return out;
  out.status = result->status;
  out.body = result->body;
  const std::string set_cookie = result->get_header_value("Set-Cookie");
  out.cookie = set_cookie.substr(0, set_cookie.find(';'));
  const auto start = out.body.find("data\":\"");
  if (start != std::string::npos) {
    const auto from = start + 7;
    const auto end = out.body.find('"', from);
    out.random = text_of(rc4_transform(hex_decode_pairs(out.body.substr(from, end - from)), key_));
  }
  return out;
}

DataReply WireClient::open(const httplib::Result& result, const std::string& rand) {
  DataReply out;
  if (!result) return out;
  out.status = result->status;
  out.body = result->body;
  out.outer = nlohmann::json::parse(out.body, nullptr, false);
  if (out.outer.is_object() && out.outer.contains("data") && out.outer["data"].is_string() &&
      !out.outer["data"].get<std::string>().empty()) {
    const std::string opened = open_reply(out.outer["data"].get<std::string>(), key_, reply_key(rand));
    out.opened = nlohmann::json::parse(opened, nullptr, false);
  }
  return out;
}

DataReply WireClient::post(const std::string& path, const std::string& cookie,
                           const std::string& body) {
  httplib::Client http("127.0.0.1", port_);
  http.set_connection_timeout(5);
  http.set_read_timeout(10);
  httplib::Headers headers;
  if (!cookie.empty()) headers.emplace("Cookie", cookie);
  return open(http.Post(path, headers, body, "application/x-www-form-urlencoded"));
}

DataReply WireClient::call(const std::string& funname, const std::vector<std::string>& param,
                           const std::string& path) {
  const Handshake h = handshake(path);
  if (h.random.empty()) return {};
  return post(path, h.cookie, "DATA=" + seal(request_text("4321", funname, param), key_, h.random));
}

void ServerTest::SetUp() {
  static std::atomic<int> counter{0};
  dir_ = std::filesystem::temp_directory_path() /
         ("stockdesk-server-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  options_.deploy_path = deploy_file();
  options_.db_path = (dir_ / "accounts.db").string();
  options_.port = 0;
  options_.hash_iterations = 1000;  // fast; the stored form carries its own count
  options_.threads = 8;
}

void ServerTest::TearDown() {
  stop();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void ServerTest::start() {
  stop();
  server_ = std::make_unique<AccountServer>(options_);
  std::string error;
  ASSERT_TRUE(server_->start(error)) << error;
}

void ServerTest::stop() {
  if (server_) server_->stop();
  server_.reset();
}

}  // namespace sd::test
