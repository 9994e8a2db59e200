#include "tests/protocol/fake_account_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "src/http/code_page.h"
#include "src/http/text.h"
#include "src/protocol/codec.h"

namespace sd::test {
namespace {

constexpr char kHandshakePrefix[] = "DATA=GETRAND?";

int cookie_index(const std::string& cookie) {
  const auto at = cookie.find("hs=");
  if (at == std::string::npos) return -1;
  return std::atoi(cookie.c_str() + at + 3);
}

std::string percent_decode(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

FakeAccountServer::FakeAccountServer(Script script) : script_(std::move(script)) {
  server_.Post(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
    handle(req, res);
  });
  port_ = server_.bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  for (int i = 0; i < 500 && !server_.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

FakeAccountServer::~FakeAccountServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  server_.stop();
  thread_.join();
}

std::string FakeAccountServer::url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/api";
}

std::vector<FakeAccountServer::Request> FakeAccountServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::string FakeAccountServer::server_random(int handshake_index, std::size_t length) {
  std::string random = "random-" + std::to_string(handshake_index);
  random.resize(length, '#');
  return random;
}

FakeAccountServer::Answer FakeAccountServer::handshake_answer(int index) {
  Answer answer;
  answer.body = "data\":\"" + hex_encode(rc4_transform(server_random(index), request_key())) + "\"";
  answer.set_cookie = "hs=" + std::to_string(index) + "; path=/";
  return answer;
}

FakeAccountServer::Answer FakeAccountServer::opened_answer(const std::string& reply_json_utf8,
                                                           const std::string& client_random) {
  const std::string inner = hex_encode(rc4_transform(reply_json_utf8, reply_key(client_random)));
  Answer answer;
  answer.body = nlohmann::json{{"data", hex_encode(rc4_transform(inner, request_key()))}}.dump();
  return answer;
}

FakeAccountServer::Answer FakeAccountServer::refused_answer(const std::string& errcode_utf8,
                                                            const std::string& msg_utf8) {
  Answer answer;
  answer.body =
      nlohmann::json{{"data", ""}, {"errcode", errcode_utf8}, {"msg", msg_utf8}}.dump();
  return answer;
}

FakeAccountServer::Answer FakeAccountServer::default_answer(const Request& request) {
  if (request.handshake) return handshake_answer(request.index);
  return opened_answer(R"({"ok":"1"})", request.client_random);
}

std::string FakeAccountServer::request_json_utf8(const std::string& plain) {
  const std::string json = local_to_utf8(percent_decode(plain));
  if (!nlohmann::json::accept(json)) return {};
  return json;
}

void FakeAccountServer::handle(const httplib::Request& req, httplib::Response& res) {
  Request request;
  request.body = req.body;
  request.cookie = req.get_header_value("Cookie");
  request.handshake = req.body.rfind(kHandshakePrefix, 0) == 0;
  if (!request.handshake && req.body.rfind("DATA=", 0) == 0) {
    const int index = cookie_index(request.cookie);
    if (index >= 0) {
      const std::string sealed = req.body.substr(5);
      const std::string inner = rc4_transform(hex_decode(sealed), server_random(index, random_length_));
      request.plain = text_of(rc4_transform(hex_decode(inner), request_key()));
      const std::string prefix = "%7B%22rand%22:%22";
      if (request.plain.rfind(prefix, 0) == 0) request.client_random = request.plain.substr(prefix.size(), 4);
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    request.index = static_cast<int>(requests_.size());
    requests_.push_back(request);
  }
  const Answer answer = script_ ? script_(request) : default_answer(request);
  for (int waited = 0; waited < answer.delay_ms; waited += 10) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  res.status = answer.status;
  if (!answer.set_cookie.empty()) res.set_header("Set-Cookie", answer.set_cookie);
  res.set_content(answer.body, "text/plain; charset=utf-8");
}

int closed_port() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

}  // namespace sd::test
