#include "server/account_server.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "server/accounts.h"
#include "server/demo_pages.h"
#include "server/envelope.h"
#include "server/operations.h"
#include "server/page_table.h"
#include "server/randoms.h"
#include "server/refusals.h"
#include "server/request.h"
#include "server/tokens.h"
#include "src/app/deployment.h"

namespace sd {
namespace {

constexpr const char* json_type = "application/json; charset=utf-8";
constexpr const char* html_type = "text/html; charset=utf-8";
constexpr const char* session_cookie = "SDSESSION";
constexpr const char* stale_cookie = "SDSTALE";

std::string path_of(const std::string& address) {
  const auto scheme = address.find("://");
  const auto start = address.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  if (start == std::string::npos) return {};
  std::string path = address.substr(start);
  const auto query = path.find_first_of("?#");
  if (query != std::string::npos) path.resize(query);
  return path;
}

bool is_host_text(const std::string& host) {
  if (host.empty() || host.size() > 255) return false;
  for (char c : host) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
    if (!ok) return false;
  }
  return true;
}

// The value of cookie `name` in the request's Cookie headers, if present.
std::optional<std::string> cookie_value(const httplib::Request& req, const std::string& name) {
  const auto count = req.get_header_value_count("Cookie");
  for (std::size_t i = 0; i < count; ++i) {
    const std::string header = req.get_header_value("Cookie", i);
    std::size_t pos = 0;
    while (pos <= header.size()) {
      std::size_t end = header.find(';', pos);
      if (end == std::string::npos) end = header.size();
      std::string pair = header.substr(pos, end - pos);
      const auto first = pair.find_first_not_of(' ');
      pair = first == std::string::npos ? std::string() : pair.substr(first);
      const auto eq = pair.find('=');
      if (eq != std::string::npos && pair.compare(0, eq, name) == 0) {
        std::string value = pair.substr(eq + 1);
        while (!value.empty() && value.back() == ' ') value.pop_back();
        return value;
      }
      pos = end + 1;
    }
  }
  return std::nullopt;
}

std::string refusal_json(const Refusal& refusal) {
  nlohmann::ordered_json reply;
  reply["errcode"] = refusal.code;
  reply["msg"] = refusal.message;
  reply["data"] = "";
  return reply.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string sealed_json(const std::string& sealed) {
  nlohmann::ordered_json reply;
  reply["errcode"] = "0";
  reply["msg"] = utf8_text(u8"成功");
  reply["data"] = sealed;
  return reply.dump();
}

std::string error_page(int status, const std::string& text) {
  return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + std::to_string(status) +
         "</title></head><body><h1>" + std::to_string(status) + " " + text +
         "</h1></body></html>\n";
}

}  // namespace

struct AccountServer::Impl {
  explicit Impl(const ServerOptions& o)
      : options(o),
        tokens(o.token_lifetime, o.token_grace),
        randoms(o.random_lifetime, o.replay_lifetime, o.max_open_randoms) {}

  const ServerOptions& options;
  std::string request_key;
  AccountStore accounts;
  TokenStore tokens;
  RandomStore randoms;
  std::unique_ptr<Operations> operations;
  httplib::Server http;
  std::string fallback_host;
  std::atomic<bool> handshake_fault_pending{false};
  std::atomic<bool> data_fault_pending{false};

  std::string host_of(const httplib::Request& req) const {
    const std::string host = req.get_header_value("Host");
    return is_host_text(host) ? host : fallback_host;
  }

  void handshake(httplib::Response& res) {
    if (handshake_fault_pending.exchange(false)) {
      res.status = 502;
      res.set_header("Set-Cookie", std::string(stale_cookie) + "=1; path=/");
      res.set_content(error_page(502, "Bad Gateway"), html_type);
      return;
    }
    std::string id, random;
    if (!randoms.issue(id, random)) {
      res.status = 503;
      res.set_content(error_page(503, "Service Unavailable"), html_type);
      return;
    }
    res.set_header("Set-Cookie", std::string(session_cookie) + "=" + id + "; path=/; HttpOnly");
    res.set_content(handshake_reply(random, request_key), json_type);
  }

  // Opens, parses and runs one sealed request under its random.
  std::string answer(const std::string& sealed, const std::string& random,
                     const std::string& host) {
    std::string plain;
    ParsedRequest request;
    if (!open_request(sealed, request_key, random, plain) || !parse_request(plain, request))
      return refusal_json(refusal::malformed_request());
    const OperationResult result = operations->run(request, host);
    if (!result.ok) return refusal_json(result.refusal);
    return sealed_json(seal_reply(result.reply_json, request_key, request.rand));
  }

  void data(const httplib::Request& req, const std::string& sealed, httplib::Response& res) {
    auto refuse = [&](const Refusal& refusal) { res.set_content(refusal_json(refusal), json_type); };
    if (cookie_value(req, stale_cookie)) return refuse(refusal::stale_session());
    const auto session = cookie_value(req, session_cookie);
    if (!session) return refuse(refusal::bad_random());
    std::string random;
    HttpAnswer earlier;
    std::unique_ptr<RandomStore::Claim> claim;
    switch (randoms.claim(*session, sealed, random, earlier, claim)) {
      case RandomStore::Use::unknown: return refuse(refusal::bad_random());
      case RandomStore::Use::used_by_other: return refuse(refusal::used_random());
      case RandomStore::Use::busy: return refuse(refusal::busy());
      case RandomStore::Use::replay:
        res.status = earlier.status;
        res.set_content(earlier.body, json_type);
        return;
      case RandomStore::Use::fresh: break;
    }
    HttpAnswer answered{200, answer(sealed, random, host_of(req))};
    randoms.finish(std::move(claim), answered);
    if (data_fault_pending.exchange(false)) {
      // The reply is "lost": the client's re-post of the same body gets the kept answer.
      res.status = 500;
      res.set_content(error_page(500, "Internal Server Error"), html_type);
      return;
    }
    res.status = answered.status;
    res.set_content(answered.body, json_type);
  }

  void post(const httplib::Request& req, httplib::Response& res) {
    const std::string& body = req.body;
    if (body.rfind("DATA=", 0) != 0) {
      res.set_content(refusal_json(refusal::malformed_request()), json_type);
      return;
    }
    std::string value = body.substr(5, body.find('&') == std::string::npos
                                            ? std::string::npos
                                            : body.find('&') - 5);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
    if (value.rfind("GETRAND", 0) == 0) return handshake(res);
    data(req, percent_decode(value), res);
  }
};

AccountServer::AccountServer(ServerOptions options) : options_(std::move(options)) {}

AccountServer::~AccountServer() { stop(); }

std::string AccountServer::base_url() const {
  const std::string host = options_.bind_address == "0.0.0.0" ? "127.0.0.1" : options_.bind_address;
  return "http://" + host + ":" + std::to_string(port_);
}

bool AccountServer::start(std::string& error) {
  if (impl_) {
    error = "the server is already running";
    return false;
  }
  auto impl = std::make_unique<Impl>(options_);

  const auto deployment = load_deployment_file(options_.deploy_path, error);
  if (!deployment) {
    error = "cannot use deployment file " + options_.deploy_path + ": " + error;
    return false;
  }
  impl->request_key = deployment->request_key;
  if (impl->request_key.empty()) {
    error = "deployment file " + options_.deploy_path + " gives no request key";
    return false;
  }
  const std::string deployed_path = path_of(deployment->deployment.init_address);
  if (!deployed_path.empty() && deployed_path != "/") init_path_ = deployed_path;
  const int requested_port = options_.port >= 0 ? options_.port : deployment->deployment.server_port;
  int port = requested_port;

  std::optional<PageAddresses> pages;
  if (!options_.pages_path.empty()) {
    pages = load_page_table(options_.pages_path, error);
    if (!pages) return false;
  }

  if (!impl->accounts.open(options_.db_path, options_.hash_iterations, error)) return false;
  for (const auto& [name, password] : options_.create_accounts) {
    if (impl->accounts.create_or_reset(name, password) != AccountResult::ok) {
      error = "cannot create account " + name + " in " + options_.db_path;
      return false;
    }
  }
  impl->operations =
      std::make_unique<Operations>(impl->options, impl->accounts, impl->tokens, std::move(pages));
  impl->handshake_fault_pending = options_.fault_first_handshake_error;
  impl->data_fault_pending = options_.fault_first_data_500;

  auto& http = impl->http;
  const int threads = options_.threads > 0 ? options_.threads : 8;
  http.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  // Larger bodies are answered 413 by the HTTP layer (which also caps form bodies at 8 KiB);
  // no request of the client comes near that, and its fields have a bound of their own.
  http.set_payload_max_length(options_.max_body_bytes);
  http.set_keep_alive_max_count(100);  // fewer reconnects: the listen backlog is short
  http.set_tcp_nodelay(true);  // small answers: do not wait for the peer's delayed ACK
  http.set_read_timeout(10, 0);
  http.set_write_timeout(10, 0);
  if (options_.fault_delay_ms > 0) {
    const auto delay = std::chrono::milliseconds(options_.fault_delay_ms);
    http.set_pre_routing_handler([delay](const httplib::Request&, httplib::Response&) {
      std::this_thread::sleep_for(delay);
      return httplib::Server::HandlerResponse::Unhandled;
    });
  }
  Impl* self = impl.get();
  auto post = [self](const httplib::Request& req, httplib::Response& res) { self->post(req, res); };
  http.Post(init_path_, post);
  if (init_path_ != "/api/user") http.Post("/api/user", post);
  http.Get("/health", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("ok", "text/plain; charset=utf-8");
  });
  http.Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(demo_index_html(), html_type);
  });
  http.Get(R"(/pages/(\d{1,3})\.html)", [](const httplib::Request& req, httplib::Response& res) {
    const std::string page = demo_page_html(std::atoi(req.matches[1].str().c_str()));
    if (page.empty()) {
      res.status = 404;
      res.set_content(error_page(404, "Not Found"), html_type);
      return;
    }
    res.set_content(page, html_type);
  });
  const std::string version = options_.version;
  http.Get("/download.html", [version](const httplib::Request&, httplib::Response& res) {
    res.set_content(download_page_html(version), html_type);
  });

  errno = 0;
  if (port == 0) {
    port = http.bind_to_any_port(options_.bind_address);
  } else if (!http.bind_to_port(options_.bind_address, port)) {
    port = -1;
  }
  if (port <= 0) {
    const int saved = errno;
    error = "cannot listen on " + options_.bind_address + ":" +
            std::to_string(requested_port) +
            (saved ? std::string(": ") + std::strerror(saved) : std::string());
    return false;
  }
  port_ = port;
  impl->fallback_host =
      (options_.bind_address == "0.0.0.0" ? std::string("127.0.0.1") : options_.bind_address) +
      ":" + std::to_string(port_);
  impl_ = std::move(impl);
  thread_ = std::thread([self] { self->http.listen_after_bind(); });
  // stop() only takes effect once the accept loop runs.
  for (int i = 0; i < 5000 && !impl_->http.is_running(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

void AccountServer::stop() {
  if (!impl_) return;
  impl_->http.stop();
  if (thread_.joinable()) thread_.join();
  impl_->accounts.close();
  impl_.reset();
}

}  // namespace sd
