#pragma once
// A scripted account server on 127.0.0.1 (ephemeral port) that speaks the wire envelope, for
// tests that need replies a real server would not give. Each handshake n hands out its own
// server random and sets the cookie "hs=n"; a data request is opened with the random of the
// handshake cookie it carries.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

namespace sd::test {

// A UTF-8 literal as the bytes of a std::string (what the server side speaks).
inline std::string u8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class FakeAccountServer {
 public:
  struct Request {
    int index = 0;              // 0-based over all requests
    bool handshake = false;
    std::string body;           // as received
    std::string cookie;         // the Cookie header, "" when absent
    std::string plain;          // data request: the opened request text (local text)
    std::string client_random;  // data request: its "rand"
  };
  struct Answer {
    int status = 200;
    std::string body;
    std::string set_cookie;     // one Set-Cookie value, "" for none
    int delay_ms = 0;
  };
  using Script = std::function<Answer(const Request&)>;

  // Without a script: every handshake is accepted and every data request gets {"ok":"1"}.
  explicit FakeAccountServer(Script script = {});
  ~FakeAccountServer();
  FakeAccountServer(const FakeAccountServer&) = delete;
  FakeAccountServer& operator=(const FakeAccountServer&) = delete;

  std::string url() const;
  std::vector<Request> requests() const;

  // The default answers and envelope helpers, for scripts.
  static Answer handshake_answer(int index);
  static Answer opened_answer(const std::string& reply_json_utf8, const std::string& client_random);
  static Answer refused_answer(const std::string& errcode_utf8, const std::string& msg_utf8);
  static Answer default_answer(const Request& request);
  // The random of handshake n: 18 bytes, which makes the handshake reply 44 bytes long.
  static std::string server_random(int handshake_index, std::size_t length = 18);
  // The length of the randoms that this server opens data requests with (for scripts that build
  // their own handshake replies with server_random(n, length)).
  void set_random_length(std::size_t length) { random_length_ = length; }

  // The opened request text, percent-decoded, converted to UTF-8 and parsed as the reference
  // server does; "" when it is not valid JSON.
  static std::string request_json_utf8(const std::string& plain);

 private:
  void handle(const httplib::Request& req, httplib::Response& res);

  Script script_;
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<Request> requests_;
  bool stopping_ = false;
  std::atomic<std::size_t> random_length_{18};
};

// A port on 127.0.0.1 where nothing listens (bound, then released).
int closed_port();

}  // namespace sd::test
