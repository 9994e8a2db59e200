#include "tests/protocol/recording_proxy.h"

namespace sd::test {

RecordingProxy::RecordingProxy(int target_port) : target_port_(target_port) {
  server_.Post(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
    Exchange exchange;
    exchange.body = req.body;
    exchange.cookie = req.get_header_value("Cookie");
    httplib::Client client("127.0.0.1", target_port_);
    client.set_connection_timeout(5);
    client.set_read_timeout(10);
    httplib::Headers headers;
    if (!exchange.cookie.empty()) headers.emplace("Cookie", exchange.cookie);
    const auto answer =
        client.Post(req.path, headers, req.body, "application/x-www-form-urlencoded");
    if (answer) {
      exchange.status = answer->status;
      const auto count = answer->get_header_value_count("Set-Cookie");
      for (std::size_t i = 0; i < count; ++i) {
        exchange.set_cookies.push_back(answer->get_header_value("Set-Cookie", i));
        res.set_header("Set-Cookie", exchange.set_cookies.back());
      }
      res.status = answer->status;
      res.set_content(answer->body, answer->get_header_value("Content-Type"));
    } else {
      res.status = 599;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    exchanges_.push_back(std::move(exchange));
  });
  port_ = server_.bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  for (int i = 0; i < 500 && !server_.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

RecordingProxy::~RecordingProxy() {
  server_.stop();
  thread_.join();
}

std::string RecordingProxy::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<RecordingProxy::Exchange> RecordingProxy::exchanges() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return exchanges_;
}

}  // namespace sd::test
