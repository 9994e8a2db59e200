#pragma once
// The reference account server, in process on 127.0.0.1 (ephemeral port), with its accounts in
// a fresh SQLite file that goes with the fixture.
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "server/account_server.h"

namespace sd::test {

class ReferenceServer {
 public:
  // Accounts demo/demo123 and hb/pw-1 exist; tweak may change the options before the start.
  explicit ReferenceServer(const std::function<void(ServerOptions&)>& tweak = {}) {
    char pattern[] = "/tmp/stockdesk-ui-main-XXXXXX";
    if (mkdtemp(pattern) != nullptr) folder_ = pattern;
    ServerOptions options;
    options.deploy_path = STOCKDESK_DEPLOY_FILE;
    options.db_path = folder_ + "/accounts.db";
    options.port = 0;
    options.hash_iterations = 1000;
    options.threads = 8;
    options.create_accounts = {{"demo", "demo123"}, {"hb", "pw-1"}};
    if (tweak) tweak(options);
    server_ = std::make_unique<AccountServer>(options);
    started_ = server_->start(error_);
  }
  ~ReferenceServer() {
    server_->stop();
    server_.reset();
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  ReferenceServer(const ReferenceServer&) = delete;
  ReferenceServer& operator=(const ReferenceServer&) = delete;

  bool started() const { return started_; }
  const std::string& error() const { return error_; }
  int port() const { return server_->port(); }
  std::string init_url() const { return server_->base_url() + server_->init_path(); }
  std::string account_url() const { return server_->base_url() + "/api/user"; }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::unique_ptr<AccountServer> server_;
  bool started_ = false;
  std::string error_;
};

}  // namespace sd::test
