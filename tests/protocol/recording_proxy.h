#pragma once
// A forwarding HTTP server on 127.0.0.1 that records every POST it passes to a real server:
// the body and Cookie header sent, and the status and Set-Cookie values that came back.
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

namespace sd::test {

class RecordingProxy {
 public:
  struct Exchange {
    std::string body, cookie;
    int status = 0;
    std::vector<std::string> set_cookies;
  };

  explicit RecordingProxy(int target_port);
  ~RecordingProxy();
  RecordingProxy(const RecordingProxy&) = delete;
  RecordingProxy& operator=(const RecordingProxy&) = delete;

  // The proxy's address for a path of the target.
  std::string url(const std::string& path) const;
  std::vector<Exchange> exchanges() const;

 private:
  int target_port_;
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<Exchange> exchanges_;
};

}  // namespace sd::test
