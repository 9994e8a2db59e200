#pragma once
// The five functions of the account server, on an opened and parsed request.
#include <atomic>
#include <optional>
#include <string>

#include "server/accounts.h"
#include "server/options.h"
#include "server/page_table.h"
#include "server/refusals.h"
#include "server/request.h"
#include "server/tokens.h"

namespace sd {

struct OperationResult {
  bool ok = false;
  std::string reply_json;  // UTF-8, when ok
  Refusal refusal;         // when not ok
};

class Operations {
 public:
  Operations(const ServerOptions& options, AccountStore& accounts, TokenStore& tokens,
             std::optional<PageAddresses> pages)
      : options_(options), accounts_(accounts), tokens_(tokens), pages_(std::move(pages)) {}

  // host: "host:port" that the request came to, for the addresses init hands out.
  OperationResult run(const ParsedRequest& request, const std::string& host);

 private:
  OperationResult init(const std::string& host);
  OperationResult login(const ParsedRequest& request);
  OperationResult reg(const ParsedRequest& request);
  OperationResult hearlog(const ParsedRequest& request);
  OperationResult change_pawd(const ParsedRequest& request);

  const ServerOptions& options_;
  AccountStore& accounts_;
  TokenStore& tokens_;
  std::optional<PageAddresses> pages_;
  std::atomic<long long> heartbeats_{0};
};

}  // namespace sd
