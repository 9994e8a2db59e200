#pragma once
// A forwarding HTTP proxy on 127.0.0.1 that can be taken down and brought back on the same
// port, so that a client loses its way to a server that keeps running (and keeps its tokens).
#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

namespace sd::test {

class SwitchableProxy {
 public:
  explicit SwitchableProxy(int target_port) : target_port_(target_port) {}
  ~SwitchableProxy() { down(); }
  SwitchableProxy(const SwitchableProxy&) = delete;
  SwitchableProxy& operator=(const SwitchableProxy&) = delete;

  // Listens (on an ephemeral port the first time, on the same port afterwards).
  bool up() {
    if (server_) return true;
    server_ = std::make_unique<httplib::Server>();
    const int target = target_port_;
    server_->Post(".*", [target](const httplib::Request& request, httplib::Response& response) {
      httplib::Client client("127.0.0.1", target);
      client.set_connection_timeout(5);
      client.set_read_timeout(30);
      httplib::Headers headers;
      for (const auto& [name, value] : request.headers) {
        if (name == "Cookie") headers.emplace(name, value);
      }
      auto answer = client.Post(request.path.c_str(), headers, request.body,
                                request.get_header_value("Content-Type").c_str());
      if (!answer) {
        response.status = 502;
        return;
      }
      response.status = answer->status;
      for (const auto& [name, value] : answer->headers) {
        if (name == "Set-Cookie") response.headers.emplace(name, value);
      }
      response.set_content(answer->body, answer->get_header_value("Content-Type").c_str());
    });
    if (port_ == 0) {
      port_ = server_->bind_to_any_port("127.0.0.1");
      if (port_ <= 0) return false;
    } else if (!server_->bind_to_port("127.0.0.1", port_)) {
      server_.reset();
      return false;
    }
    thread_ = std::thread([s = server_.get()] { s->listen_after_bind(); });
    for (int i = 0; i < 500 && !server_->is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return server_->is_running();
  }

  void down() {
    if (!server_) return;
    server_->stop();
    if (thread_.joinable()) thread_.join();
    server_.reset();
  }

  int port() const { return port_; }

 private:
  int target_port_;
  int port_ = 0;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
};

}  // namespace sd::test
