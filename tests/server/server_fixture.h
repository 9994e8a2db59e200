#pragma once
// A small client of the account server's wire, written independently of the program's exchange,
// and a fixture that runs the server in-process on a free port with a temporary database.
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "server/account_server.h"
#include "server/options.h"

namespace sd::test {

std::string deploy_file();        // the default deployment of the source tree
std::string deploy_request_key(); // its request key

struct Handshake {
  int status = 0;
  std::string body;
  std::string cookie;  // "SDSESSION=..." as the server set it, or ""
  std::string random;  // opened server random
};

struct DataReply {
  int status = 0;
  std::string body;           // as received (UTF-8)
  nlohmann::json outer;       // the parsed body (discarded when not JSON)
  nlohmann::json opened;      // the opened "data" (null when there is none)
  std::string errcode() const;
  std::string msg() const;
  // A string member of the opened reply, "" when absent.
  std::string member(const char* name) const;
};

// A request text as the client writes it: structural characters percent-encoded, values raw.
// Values are GBK; pass them through escape_value() first to send any text intact.
std::string request_text(const std::string& rand, const std::string& funname,
                         const std::vector<std::string>& param);
std::string escape_value(const std::string& gbk);  // \ -> \\, " -> \%22, % -> %25

std::string seal(const std::string& plain, const std::string& key, const std::string& random);

class WireClient {
 public:
  WireClient(int port, std::string key) : port_(port), key_(std::move(key)) {}
  Handshake handshake(const std::string& path = "/api/user");
  DataReply post(const std::string& path, const std::string& cookie, const std::string& body);
  // Handshake + sealed request + opened reply (rand "4321").
  DataReply call(const std::string& funname, const std::vector<std::string>& param,
                 const std::string& path = "/api/user");
  DataReply open(const httplib::Result& result, const std::string& rand = "4321");

 private:
  int port_;
  std::string key_;
};

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts (or restarts) the server with options_; fails the test when it cannot.
  void start();
  void stop();
  WireClient client() { return WireClient(server_->port(), deploy_request_key()); }

  std::filesystem::path dir_;
  ServerOptions options_;
  std::unique_ptr<AccountServer> server_;
};

}  // namespace sd::test
