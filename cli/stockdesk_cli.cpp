// stockdesk-cli: runs one account-server operation with the client's exchange and prints the
// outcome. Arguments are UTF-8; they become local text for the request. Output is UTF-8:
// the opened reply as JSON on standard output, or a JSON refusal there and the error line on
// standard error. Exit status: 0 success, 1 refused or failed, 2 usage.
//
// --deploy FILE: the request key is built into this program, so a deployment file cannot change
// it; the file is read to check that its key is the built-in one (a server started with another
// file could never open our requests), and its init address stands in for an init URL of "-".
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "src/app/deployment.h"
#include "src/http/code_page.h"
#include "src/protocol/codec.h"
#include "src/protocol/operations.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr char kUsageText[] =
    "usage: stockdesk-cli [--deploy FILE] [--timeout SECONDS] COMMAND ARGUMENTS\n"
    "\n"
    "Runs one operation of the account server and prints its outcome.\n"
    "\n"
    "commands:\n"
    "  init URL\n"
    "  login URL ACCOUNT PASSWORD\n"
    "  reg URL ACCOUNT PASSWORD QQ\n"
    "  hearlog URL TOKEN\n"
    "  change_pawd URL TOKEN OLD_PASSWORD NEW_PASSWORD\n"
    "\n"
    "options:\n"
    "  --deploy FILE      check that FILE's request key is the built-in one; \"-\" as the\n"
    "                     URL of init then stands for FILE's init address\n"
    "  --timeout SECONDS  network timeout of each attempt (default 30)\n"
    "  --help             show this text\n"
    "\n"
    "The opened reply is printed as JSON (UTF-8). Exit status: 0 success, 1 refused or\n"
    "failed, 2 usage.\n";

// The product's own identity, sent by init.
constexpr char kAppId[] = "888";
constexpr char kProductCode[] = "wzpkyl";
constexpr char kPlatform[] = "windows";

void print_utf8(std::FILE* stream, const std::string& local_text) {
  const std::string text = sd::local_to_utf8(local_text);
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
}

int usage_error(const std::string& message) {
  std::fprintf(stderr, "stockdesk-cli: %s\n%s", message.c_str(), kUsageText);
  return kUsage;
}

int report(bool success, sd::ExchangeOutcome outcome, const std::string& opened_text,
           const std::string& error_code, const std::string& error_message) {
  if (outcome == sd::ExchangeOutcome::opened) {
    print_utf8(stdout, opened_text);
    if (!success) print_utf8(stderr, "服务器的回复未通过检查");
    return success ? kSuccess : kFailed;
  }
  const nlohmann::json refusal = {
      {"outcome", outcome == sd::ExchangeOutcome::refused ? "refused" : "unreachable"},
      {"errcode", sd::local_to_utf8(error_code)},
      {"msg", sd::local_to_utf8(error_message)}};
  const std::string json = refusal.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::printf("%s\n", json.c_str());
  print_utf8(stderr, "错误：" + error_code + "，" + error_message + "!");
  return kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  std::optional<std::string> deploy_path;
  int timeout_seconds = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsageText, stdout);
      return kSuccess;
    }
    if (args.empty() && (arg == "--deploy" || arg == "--timeout")) {
      if (i + 1 >= argc) return usage_error(arg + " needs a value");
      const std::string value = argv[++i];
      if (arg == "--deploy") {
        deploy_path = value;
      } else {
        char* end = nullptr;
        const long seconds = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || seconds < 1 || seconds > 3600) {
          return usage_error("--timeout needs a number of seconds from 1 to 3600");
        }
        timeout_seconds = static_cast<int>(seconds);
      }
      continue;
    }
    if (args.empty() && arg.size() > 1 && arg[0] == '-') return usage_error("unknown option " + arg);
    args.push_back(sd::utf8_to_local(arg));
  }
  if (args.empty()) return usage_error("no command given");

  const std::string command = args[0];
  const std::size_t expected = command == "init"          ? 2
                               : command == "login"       ? 4
                               : command == "reg"         ? 5
                               : command == "hearlog"     ? 3
                               : command == "change_pawd" ? 5
                                                          : 0;
  if (expected == 0) return usage_error("unknown command " + command);
  if (args.size() != expected) return usage_error("wrong number of arguments for " + command);

  std::string url = args[1];
  if (deploy_path) {
    std::string error;
    const auto file = sd::load_deployment_file(*deploy_path, error);
    if (!file) {
      std::fprintf(stderr, "stockdesk-cli: cannot read %s: %s\n", deploy_path->c_str(),
                   sd::local_to_utf8(error).c_str());
      return kUsage;
    }
    if (file->request_key != sd::request_key()) {
      std::fprintf(stderr,
                   "stockdesk-cli: the request key of %s differs from the one built into this "
                   "program; its server cannot open our requests\n",
                   deploy_path->c_str());
      return kUsage;
    }
    if (command == "init" && url == "-") url = file->deployment.init_address;
  }
  if (url == "-") return usage_error("\"-\" as the URL needs --deploy");

  sd::CallOptions options;
  options.exchange.timeout_seconds = timeout_seconds;
  sd::ExchangeOutcome outcome = sd::ExchangeOutcome::unreachable;
  std::string opened_text;
  options.outcome = &outcome;
  options.opened_text = &opened_text;
  std::string error_code;
  std::string error_message;

  bool success = false;
  if (command == "init") {
    sd::InitReply reply;
    success = sd::init(url, kAppId, kProductCode, kPlatform, reply, error_code, error_message,
                       options) == 1;
  } else if (command == "login") {
    std::string user, token, level, id;
    success = sd::login(url, args[2], args[3], kAppId, user, token, level, id, error_code,
                        error_message, options) == 1;
  } else if (command == "reg") {
    success = sd::reg(url, args[2], args[3], args[4], kAppId, error_code, error_message,
                      options) == 1;
  } else if (command == "hearlog") {
    success = sd::hearlog(url, args[2], kAppId, error_code, error_message, options) != "error";
  } else {
    success = sd::change_pawd(url, kAppId, args[2], args[3], args[4], error_code,
                              error_message, options) == 1;
  }
  return report(success, outcome, opened_text, error_code, error_message);
}
