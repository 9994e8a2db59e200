#include "tests/http/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace sd::test {

namespace {

constexpr int kTickMs = 20;
constexpr int kReadLimitMs = 5000;    // a request must arrive within this
constexpr int kHoldLimitMs = 60000;   // a held connection is closed after this at the latest

int bound_socket(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::close(fd);
    return -1;
  }
  port = ntohs(addr.sin_port);
  return fd;
}

bool readable(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, ms) > 0;
}

long content_length(const std::string& head) {
  std::string lower = head;
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  const std::size_t at = lower.find("\r\ncontent-length:");
  if (at == std::string::npos) return 0;
  return std::strtol(lower.c_str() + at + 17, nullptr, 10);
}

}  // namespace

std::string http_reply(const std::string& status, const std::vector<std::string>& headers,
                       const std::string& body) {
  std::string out = "HTTP/1.1 " + status + "\r\n";
  for (const std::string& h : headers) out += h + "\r\n";
  out += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  return out + body;
}

RawServer::RawServer(Handler handler) : handler_(std::move(handler)) {
  listen_fd_ = bound_socket(port_);
  if (listen_fd_ >= 0 && ::listen(listen_fd_, 8) == 0) thread_ = std::thread([this] { serve(); });
}

RawServer::~RawServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listen_fd_ >= 0) ::close(listen_fd_);
}

std::string RawServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> RawServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void RawServer::serve() {
  while (!stop_) {
    if (!readable(listen_fd_, kTickMs)) continue;
    const int fd = ::accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) continue;
    answer(fd);
    ::close(fd);
  }
}

void RawServer::answer(int fd) {
  std::string request;
  std::size_t head_end = std::string::npos;
  long waited = 0;
  while (!stop_ && waited < kReadLimitMs) {
    if (head_end != std::string::npos &&
        request.size() >= head_end + 4 + static_cast<std::size_t>(content_length(request.substr(0, head_end)))) {
      break;
    }
    if (!readable(fd, kTickMs)) {
      waited += kTickMs;
      continue;
    }
    char buf[4096];
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) return;
    request.append(buf, static_cast<std::size_t>(n));
    head_end = request.find("\r\n\r\n");
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
  }
  const Reply reply = handler_(request);
  std::size_t sent = 0;
  while (sent < reply.bytes.size()) {
    const ssize_t n = ::send(fd, reply.bytes.data() + sent, reply.bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
  for (long held = 0; reply.hold_open && !stop_ && held < kHoldLimitMs; held += kTickMs) {
    if (readable(fd, kTickMs)) {
      char buf[256];
      if (::recv(fd, buf, sizeof buf, 0) <= 0) return;  // the client went away
    }
  }
}

SilentListener::SilentListener() {
  fd_ = bound_socket(port_);
  if (fd_ >= 0) ::listen(fd_, 8);
}

SilentListener::~SilentListener() {
  if (fd_ >= 0) ::close(fd_);
}

std::string SilentListener::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int unused_port() {
  int port = 0;
  const int fd = bound_socket(port);
  if (fd >= 0) ::close(fd);
  return port;
}

std::vector<std::string> head_lines(const std::string& request) {
  std::vector<std::string> lines;
  const std::size_t end = request.find("\r\n\r\n");
  const std::string head = request.substr(0, end);
  std::size_t at = 0;
  while (at <= head.size()) {
    const std::size_t next = head.find("\r\n", at);
    lines.push_back(head.substr(at, next == std::string::npos ? std::string::npos : next - at));
    if (next == std::string::npos) break;
    at = next + 2;
  }
  return lines;
}

std::string request_body(const std::string& request) {
  const std::size_t end = request.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : request.substr(end + 4);
}

}  // namespace sd::test
