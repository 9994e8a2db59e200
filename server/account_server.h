#pragma once
// The account server: HTTP endpoints over the handshake, the envelope and the five functions,
// plus the demo pages and /health. Runs in-process (tests) or from main (the program).
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "server/options.h"

namespace sd {

class AccountServer {
 public:
  explicit AccountServer(ServerOptions options);
  ~AccountServer();
  AccountServer(const AccountServer&) = delete;
  AccountServer& operator=(const AccountServer&) = delete;

  // Loads the deployment, opens the accounts, binds and starts serving on a thread of its own.
  // False with a message when any of these fails.
  bool start(std::string& error);
  // Stops accepting, finishes the requests in progress, closes the accounts. Idempotent.
  void stop();

  int port() const { return port_; }
  // "http://<bind address>:<port>"
  std::string base_url() const;
  // Path of the init endpoint (from the deployment's init address).
  const std::string& init_path() const { return init_path_; }

  struct Impl;

 private:
  ServerOptions options_;
  std::unique_ptr<Impl> impl_;
  std::thread thread_;
  int port_ = 0;
  std::string init_path_ = "/api/init";
};

}  // namespace sd
