#pragma once
// The account server's settings: from the command line for the program, filled directly by tests.
#include <mutex>  // also gives the std::chrono durations (<chrono> itself does not build with GBK literals)
#include <string>
#include <utility>
#include <vector>

namespace sd {

struct ServerOptions {
  std::string deploy_path;         // deployment file (request key, init address, default port)
  std::string db_path;             // SQLite file of the accounts
  std::string bind_address = "127.0.0.1";
  int port = -1;                   // -1: the deployment's port; 0: any free port
  std::string pages_path;          // optional JSON file: page title -> address
  std::string version = "1.00";    // the version the init reply announces
  std::vector<std::pair<std::string, std::string>> create_accounts;  // user, password (UTF-8)

  // Lifetimes; the defaults are the service's, tests shorten them.
  std::chrono::milliseconds random_lifetime{60'000};   // an unused handshake random
  std::chrono::milliseconds replay_lifetime{60'000};   // a used random still answers its replay
  std::chrono::milliseconds token_lifetime{300'000};   // a token without a heartbeat
  std::chrono::milliseconds token_grace{60'000};       // a replaced token stays valid
  int hash_iterations = 200'000;                       // PBKDF2-HMAC-SHA256 rounds for new hashes
  int threads = 64;                                    // request worker threads
  std::size_t max_body_bytes = 8 * 1024;        // larger request bodies get status 413
  std::size_t max_open_randoms = 200'000;              // handshakes not yet used or expired

  // Test-only faults.
  bool fault_first_handshake_error = false;  // first handshake answered with an HTML error page
  bool fault_first_data_500 = false;         // first data request processed, then answered 500
  int fault_refuse_heartbeats_after = -1;    // refuse every hearlog after this many (-1: never)
  int fault_delay_ms = 0;                    // every answer delayed
};

// Outcome of reading the command line: run, print help (exit 0) or a usage error (exit 2).
struct ParsedOptions {
  enum class Action { run, help, error } action = Action::run;
  ServerOptions options;
  std::string message;  // the help text, or the error
};

// default_deploy is used when --deploy is not given.
ParsedOptions parse_server_options(const std::vector<std::string>& args,
                                   const std::string& default_deploy);

std::string server_usage();

}  // namespace sd
