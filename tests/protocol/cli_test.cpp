// stockdesk-cli run as a separate process against a scripted server on 127.0.0.1.
#include <sys/wait.h>

#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/protocol/fake_account_server.h"

namespace sd {
namespace {

using test::FakeAccountServer;
using Request = FakeAccountServer::Request;

using test::u8;

struct CliRun {
  int status = -1;
  std::string out;
};

// Arguments are UTF-8 and are passed single-quoted to the shell (none hold a quote).
CliRun cli(const std::string& arguments) {
  const std::string command = std::string(STOCKDESK_BINARY_DIR) + "/cli/stockdesk-cli " + arguments + " 2>/dev/null";
  CliRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(Cli, PrintsTheOpenedReplyAsUtf8Json) {
  FakeAccountServer server([](const Request& request) {
    if (request.handshake) return FakeAccountServer::default_answer(request);
    return FakeAccountServer::opened_answer(u8(u8R"({"user":"张三","token":"T1","id":"7"})"),
                                            request.client_random);
  });
  const CliRun run = cli("login " + server.url() + " '" + u8(u8"张三") + "' 'pw'");
  EXPECT_EQ(run.status, 0);
  const auto json = nlohmann::json::parse(run.out, nullptr, false);
  ASSERT_FALSE(json.is_discarded()) << run.out;
  EXPECT_EQ(json.value("user", ""), u8(u8"张三"));
  EXPECT_EQ(json.value("token", ""), "T1");
  // The account reached the server as GBK: the request opens to the same UTF-8 text.
  const auto request = nlohmann::json::parse(
      FakeAccountServer::request_json_utf8(server.requests().back().plain));
  EXPECT_EQ(request["param"][0], u8(u8"张三"));
}

TEST(Cli, ExitStatusTellsSuccessFailureAndUsage) {
  FakeAccountServer server([](const Request& request) {
    if (request.handshake) return FakeAccountServer::default_answer(request);
    if (request.plain.find("hearlog") != std::string::npos) {
      return FakeAccountServer::refused_answer("-5", u8(u8"登录已过期"));
    }
    return FakeAccountServer::opened_answer(u8(u8R"({"msg":"修改密码成功!"})"), request.client_random);
  });
  // A deployment whose request key is not the built-in one: its server could not open our requests.
  const std::string other_deploy = "protocol-cli-other-key.conf";
  {
    std::ifstream in(PROTOCOL_DEPLOY_FILE);
    std::ofstream out(other_deploy);
    for (std::string line; std::getline(in, line);) {
      out << (line.rfind("request_key =", 0) == 0 ? "request_key = SomeOtherKey123" : line) << "\n";
    }
  }
  struct Case {
    std::string arguments;
    int status;
    std::string errcode;  // of the printed refusal, when one is printed
  };
  const Case cases[] = {
      {"hearlog " + server.url() + " T", 1, "-5"},
      {"change_pawd " + server.url() + " T old new", 1, ""},  // opened, success test fails
      {"--timeout 2 hearlog http://127.0.0.1:" + std::to_string(test::closed_port()) + "/ T", 1, "9001"},
      {"", 2, ""},
      {"login " + server.url() + " onlyaccount", 2, ""},
      {"frobnicate x", 2, ""},
      {"--timeout x init u", 2, ""},
      {"init -", 2, ""},
      {"--deploy " + other_deploy + " hearlog " + server.url() + " T", 2, ""},
      {"--deploy no-such-file.conf hearlog " + server.url() + " T", 2, ""},
      {std::string("--deploy ") + PROTOCOL_DEPLOY_FILE + " hearlog " + server.url() + " T", 1, "-5"},
      {"--help", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliRun run = cli(c.arguments);
    EXPECT_EQ(run.status, c.status);
    if (!c.errcode.empty()) {
      const auto json = nlohmann::json::parse(run.out, nullptr, false);
      ASSERT_FALSE(json.is_discarded()) << run.out;
      EXPECT_EQ(json.value("errcode", ""), c.errcode);
      EXPECT_FALSE(json.value("msg", "").empty());
    }
  }
  std::remove(other_deploy.c_str());
}

}  // namespace
}  // namespace sd
