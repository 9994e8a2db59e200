#pragma once
// A small HTTP server on 127.0.0.1 (ephemeral port) for tests that need the exact bytes on the
// wire: it records each request and answers with whatever bytes the handler returns, or holds
// the connection open without answering. One connection at a time; every wait is bounded.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sd::test {

struct Reply {
  std::string bytes;         // written as they are, then the connection is closed
  bool hold_open = false;    // after writing bytes, keep the connection until the server stops
};

// "HTTP/1.1 " + status, the header lines, Content-Length and Connection: close, then the body.
std::string http_reply(const std::string& status, const std::vector<std::string>& headers,
                       const std::string& body);

class RawServer {
 public:
  using Handler = std::function<Reply(const std::string& request)>;
  explicit RawServer(Handler handler);
  ~RawServer();
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  int port() const { return port_; }
  std::string url(const std::string& path = "/") const;
  std::vector<std::string> requests() const;  // head and body of each request, in order

 private:
  void serve();
  void answer(int fd);

  Handler handler_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A socket on 127.0.0.1 that listens but never accepts: connections complete, nothing is read
// beyond what the kernel buffers, nothing is answered.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  std::string url(const std::string& path = "/") const;

 private:
  int fd_ = -1;
  int port_ = 0;
};

// A port on 127.0.0.1 that nothing listens on.
int unused_port();

// The header lines of a recorded request (request line first), without the body.
std::vector<std::string> head_lines(const std::string& request);
// The body of a recorded request.
std::string request_body(const std::string& request);

}  // namespace sd::test
