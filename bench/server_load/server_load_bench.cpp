// Loopback load on the reference account server: N clients for S seconds each run
// handshake + hearlog exchanges; then the same generator fetches /health as the baseline.
// Prints exchanges per second and latency percentiles of both, and their ratio.
//
//   server_load_bench [--clients N] [--seconds S] [--deploy FILE]
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "server/account_server.h"
#include "src/app/deployment.h"
#include "src/http/text.h"
#include "src/protocol/codec.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Worker {
  std::vector<double> latencies_ms;
  long failures = 0;
};

struct Figures {
  long count = 0;
  long failures = 0;
  double per_second = 0, p50 = 0, p99 = 0, max = 0;
};

Figures summarise(std::vector<Worker>& workers, double seconds) {
  std::vector<double> all;
  Figures f;
  for (auto& w : workers) {
    all.insert(all.end(), w.latencies_ms.begin(), w.latencies_ms.end());
    f.failures += w.failures;
  }
  std::sort(all.begin(), all.end());
  f.count = static_cast<long>(all.size());
  f.per_second = static_cast<double>(all.size()) / seconds;
  if (!all.empty()) {
    f.p50 = all[all.size() / 2];
    f.p99 = all[std::min(all.size() - 1, all.size() * 99 / 100)];
    f.max = all.back();
  }
  return f;
}

std::string text_between(const std::string& text, const std::string& from, char to) {
  const auto start = text.find(from);
  if (start == std::string::npos) return {};
  const auto begin = start + from.size();
  const auto end = text.find(to, begin);
  return end == std::string::npos ? std::string() : text.substr(begin, end - begin);
}

// One handshake + one sealed request; the opened reply, or "" on any failure.
std::string exchange(httplib::Client& http, const std::string& key, const std::string& tail,
                     const std::string& path = "/api/user") {
  auto hs = http.Post(path, "DATA=GETRAND?1700000000000", "application/x-www-form-urlencoded");
  if (!hs || hs->status != 200 || hs->body.size() != 44) {
    if (std::getenv("LOAD_DEBUG"))
      std::fprintf(stderr, "handshake failed: %s\n",
                   hs ? std::to_string(hs->status).c_str() : httplib::to_string(hs.error()).c_str());
    return {};
  }
  const std::string random =
      sd::text_of(sd::rc4_transform(sd::hex_decode_pairs(text_between(hs->body, "data\":\"", '"')), key));
  const std::string set_cookie = hs->get_header_value("Set-Cookie");
  httplib::Headers headers{{"Cookie", set_cookie.substr(0, set_cookie.find(';'))}};
  const std::string plain = "%7B%22rand%22:%225678" + tail;
  const std::string sealed = sd::hex_encode(
      sd::rc4_transform(sd::hex_encode(sd::rc4_transform(plain, key)), random));
  auto reply = http.Post(path, headers, "DATA=" + sealed, "application/x-www-form-urlencoded");
  if (!reply || reply->status != 200) {
    if (std::getenv("LOAD_DEBUG"))
      std::fprintf(stderr, "data request failed: %s\n",
                   reply ? std::to_string(reply->status).c_str()
                         : httplib::to_string(reply.error()).c_str());
    return {};
  }
  const auto outer = nlohmann::json::parse(reply->body, nullptr, false);
  if (!outer.is_object() || !outer.contains("data") || !outer["data"].is_string()) return {};
  const std::string data = outer["data"];
  if (data.empty()) {
    if (std::getenv("LOAD_DEBUG")) std::fprintf(stderr, "refused: %s\n", reply->body.c_str());
    return {};
  }
  return sd::open_reply(data, key, sd::reply_key("5678"));
}

std::string token_of(const std::string& opened) {
  const auto doc = nlohmann::json::parse(opened, nullptr, false);
  return doc.is_object() && doc.contains("token") && doc["token"].is_string()
             ? doc["token"].get<std::string>()
             : std::string();
}

std::string tail(const std::string& funname, const std::vector<std::string>& param) {
  std::string t = "%22,%22funname%22:%22" + funname + "%22,%22appid%22:%22888%22,%22param%22:%5B";
  for (std::size_t i = 0; i < param.size(); ++i) t += (i ? ",%22" : "%22") + param[i] + "%22";
  return t + "%5D%7D";
}

template <typename Step>
std::vector<Worker> run_load(int clients, double seconds, int port, Step step) {
  std::vector<Worker> workers(static_cast<std::size_t>(clients));
  std::vector<std::thread> threads;
  const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double>(seconds));
  for (int c = 0; c < clients; ++c) {
    threads.emplace_back([&, c] {
      httplib::Client http("127.0.0.1", port);
      http.set_keep_alive(true);
      http.set_tcp_nodelay(true);
      http.set_connection_timeout(5);
      http.set_read_timeout(10);
      Worker& w = workers[static_cast<std::size_t>(c)];
      w.latencies_ms.reserve(100000);
      // Bounded in time and in count.
      for (long i = 0; i < 10'000'000 && Clock::now() < deadline; ++i) {
        const auto start = Clock::now();
        const bool ok = step(http, c);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (ok) w.latencies_ms.push_back(ms);
        else ++w.failures;
      }
    });
  }
  for (auto& t : threads) t.join();
  return workers;
}

void print(const char* name, const Figures& f) {
  std::printf("%-22s %9ld done %6ld failed %10.1f /s   p50 %7.2f ms   p99 %7.2f ms   max %7.2f ms\n",
              name, f.count, f.failures, f.per_second, f.p50, f.p99, f.max);
}

}  // namespace

int main(int argc, char** argv) {
  int clients = 50;
  double seconds = 20;
  std::string deploy = std::string(STOCKDESK_SOURCE_DIR) + "/deploy/local.conf";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--clients") clients = std::clamp(std::atoi(argv[i + 1]), 1, 1000);
    else if (arg == "--seconds") seconds = std::clamp(std::atof(argv[i + 1]), 0.5, 600.0);
    else if (arg == "--deploy") deploy = argv[i + 1];
  }

  std::string error;
  const auto file = sd::load_deployment_file(deploy, error);
  if (!file) {
    std::fprintf(stderr, "server_load_bench: %s\n", error.c_str());
    return 1;
  }
  const auto dir = std::filesystem::temp_directory_path() /
                   ("stockdesk-server-load-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);

  sd::ServerOptions options;
  options.deploy_path = deploy;
  options.db_path = (dir / "accounts.db").string();
  options.port = 0;
  options.threads = clients + 8;  // a worker per kept-alive client connection
  sd::AccountServer server(options);
  if (!server.start(error)) {
    std::fprintf(stderr, "server_load_bench: %s\n", error.c_str());
    std::filesystem::remove_all(dir);
    return 1;
  }
  const int port = server.port();
  const std::string key = file->request_key;

  // One account and login per client (not measured).
  std::vector<std::string> tokens(static_cast<std::size_t>(clients));
  {
    httplib::Client http("127.0.0.1", port);
    for (int c = 0; c < clients; ++c) {
      const std::string name = "load" + std::to_string(c);
      exchange(http, key, tail("reg", {name, "pw", "1"}));
      tokens[static_cast<std::size_t>(c)] = token_of(exchange(http, key, tail("login", {name, "pw"})));
      if (tokens[static_cast<std::size_t>(c)].empty()) {
        std::fprintf(stderr, "server_load_bench: login of %s failed\n", name.c_str());
        server.stop();
        std::filesystem::remove_all(dir);
        return 1;
      }
    }
  }

  std::printf("%d clients, %.1f s each phase, server on 127.0.0.1:%d, %u hardware threads\n",
              clients, seconds, port, std::thread::hardware_concurrency());
  auto heartbeat = run_load(clients, seconds, port, [&](httplib::Client& http, int c) {
    std::string& token = tokens[static_cast<std::size_t>(c)];
    const std::string fresh = token_of(exchange(http, key, tail("hearlog", {token})));
    if (fresh.empty()) return false;
    token = fresh;
    return true;
  });
  auto health = run_load(clients, seconds, port, [](httplib::Client& http, int) {
    auto r = http.Get("/health");
    return r && r->status == 200 && r->body == "ok";
  });
  server.stop();
  std::filesystem::remove_all(dir);

  const Figures ex = summarise(heartbeat, seconds);
  const Figures hp = summarise(health, seconds);
  print("handshake + hearlog", ex);
  print("GET /health", hp);
  if (hp.per_second > 0)
    std::printf("exchanges per second / health requests per second = %.3f (p99 %.2f vs %.2f ms)\n",
                ex.per_second / hp.per_second, ex.p99, hp.p99);
  return ex.failures == 0 && hp.failures == 0 ? 0 : 2;
}
