#pragma once
// What a deployment fixes: titles, the account server's address, hosts, the request key.
// The desktop program's objects take it as a value; the built-in one is assembled at run time
// from scrambled pieces so that neither the key nor init_address stands whole in the binary.
#include <cstdint>
#include <optional>
#include <string>

namespace sd {

struct Deployment {
  std::string app_title;       // local text
  std::string login_subtitle;  // local text
  std::string init_address;    // http://host:port/path of the init operation
  std::string website_host;    // web host shown as "http://" + host
  std::string probe_address;   // page the connectivity check opens
  std::string chat_host;       // host of the instant-messenger chat link
  int server_port = 0;         // port of the bundled account server
};

// The deployment built into this program.
Deployment builtin_deployment();

// Reads a "key = value" deployment file (UTF-8 on disk; texts returned as local text).
// Also gives the plain request key and scrambling constant, which only the server and the
// build-time generator read from the file. On failure returns nullopt and sets error.
struct DeploymentFile {
  Deployment deployment;
  std::string request_key;
  std::uint8_t scramble_constant = 0;
};
std::optional<DeploymentFile> load_deployment_file(const std::string& path, std::string& error);

}  // namespace sd
