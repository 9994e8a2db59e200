#include "server/options.h"

#include <charconv>

namespace sd {
namespace {

bool parse_int(const std::string& text, int min, int max, int& out) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty() || value < min || value > max) return false;
  out = value;
  return true;
}

}  // namespace

std::string server_usage() {
  return "Usage: stockdesk-server [--deploy FILE] --db FILE [options]\n"
         "\n"
         "The reference account server of stockdesk: init, login, reg, hearlog and change_pawd,\n"
         "the demo information pages under /pages/ and a health page at /health.\n"
         "\n"
         "  --deploy FILE            deployment settings (request key, init address, port)\n"
         "                           default: the deployment this program was built with\n"
         "  --db FILE                SQLite file that keeps the accounts (created if missing)\n"
         "  --port N                 port to listen on (default: the deployment's; 0: any free port)\n"
         "  --bind ADDR              address to listen on (default 127.0.0.1)\n"
         "  --pages FILE             JSON object mapping each page title to its address\n"
         "  --version TEXT           client version announced by init (default 1.00)\n"
         "  --create-account U:P     create account U with password P at start (or reset it)\n"
         "  --help                   this text\n"
         "\n"
         "Test-only fault switches:\n"
         "  --fault-first-handshake-error   answer the first handshake with an HTML error page\n"
         "  --fault-first-data-500          answer the first data request with status 500\n"
         "                                  (it is processed; a replay gets the real reply)\n"
         "  --fault-refuse-heartbeats-after N   refuse every hearlog after N accepted ones\n"
         "  --fault-delay-ms N              delay every answer by N milliseconds\n"
         "\n"
         "Prints \"listening on http://ADDR:PORT\" once ready; stops on SIGTERM or SIGINT.\n";
}

ParsedOptions parse_server_options(const std::vector<std::string>& args,
                                   const std::string& default_deploy) {
  ParsedOptions parsed;
  ServerOptions& o = parsed.options;
  o.deploy_path = default_deploy;
  auto fail = [&](const std::string& message) {
    parsed.action = ParsedOptions::Action::error;
    parsed.message = message;
    return parsed;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      parsed.action = ParsedOptions::Action::help;
      parsed.message = server_usage();
      return parsed;
    } else if (arg == "--fault-first-handshake-error") {
      o.fault_first_handshake_error = true;
    } else if (arg == "--fault-first-data-500") {
      o.fault_first_data_500 = true;
    } else if (arg == "--deploy" || arg == "--db" || arg == "--port" || arg == "--bind" ||
               arg == "--pages" || arg == "--version" || arg == "--create-account" ||
               arg == "--fault-refuse-heartbeats-after" || arg == "--fault-delay-ms") {
      if (!value(v)) return fail(arg + " needs a value");
      if (arg == "--deploy") {
        o.deploy_path = v;
      } else if (arg == "--db") {
        o.db_path = v;
      } else if (arg == "--port") {
        if (!parse_int(v, 0, 65535, o.port)) return fail("--port needs a number from 0 to 65535");
      } else if (arg == "--bind") {
        o.bind_address = v;
      } else if (arg == "--pages") {
        o.pages_path = v;
      } else if (arg == "--version") {
        o.version = v;
      } else if (arg == "--create-account") {
        const auto colon = v.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == v.size())
          return fail("--create-account needs USER:PASSWORD, both not empty");
        o.create_accounts.emplace_back(v.substr(0, colon), v.substr(colon + 1));
      } else if (arg == "--fault-refuse-heartbeats-after") {
        if (!parse_int(v, 0, 1'000'000'000, o.fault_refuse_heartbeats_after))
          return fail("--fault-refuse-heartbeats-after needs a number of 0 or more");
      } else if (arg == "--fault-delay-ms") {
        if (!parse_int(v, 0, 600'000, o.fault_delay_ms))
          return fail("--fault-delay-ms needs a number from 0 to 600000");
      }
    } else {
      return fail("unknown argument: " + arg);
    }
  }
  if (o.db_path.empty()) return fail("--db FILE is required");
  if (o.deploy_path.empty()) return fail("--deploy FILE is required");
  return parsed;
}

}  // namespace sd
