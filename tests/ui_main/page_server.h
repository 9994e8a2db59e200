#pragma once
// Information pages on 127.0.0.1 (ephemeral port) that count how often each path was asked for.
// /p<n> is a small page; /links holds a link with a new-window target and a window.open button.
#include <httplib.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace sd::test {

class PageServer {
 public:
  PageServer() {
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
      {
        std::lock_guard lock(mutex_);
        ++hits_[request.path];
      }
      response.set_header("Cache-Control", "no-store");
      if (request.path == "/links") {
        response.set_content(
            "<html><body style='margin:0'>"
            "<a id='blank' href='/popup' target='_blank' onclick='document.title=\"clicked\"'"
            " style='display:block;width:300px;height:100px;background:#ccc'>new window</a>"
            "</body></html>",
            "text/html");
      } else {
        response.set_content("<html><body>" + request.path + "</body></html>", "text/html");
      }
    });
    server_.set_keep_alive_max_count(1);  // a browser's idle connections hold no worker
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~PageServer() {
    server_.stop();
    thread_.join();
  }
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  int hits(const std::string& path) {
    std::lock_guard lock(mutex_);
    return hits_[path];
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::map<std::string, int> hits_;
};

}  // namespace sd::test
