#pragma once
// The stockdesk-server program run as a child process on 127.0.0.1 with --port 0; its address is
// read from the line it prints once listening. Stopped with SIGTERM (SIGKILL after a bound).
#include <string>
#include <vector>

#include <sys/types.h>

namespace sd::test {

class SpawnedServer {
 public:
  SpawnedServer(const std::string& program, const std::vector<std::string>& arguments);
  ~SpawnedServer();
  SpawnedServer(const SpawnedServer&) = delete;
  SpawnedServer& operator=(const SpawnedServer&) = delete;

  // "http://127.0.0.1:PORT", or "" when the program did not start listening within 20 seconds.
  const std::string& base_url() const { return base_url_; }

 private:
  pid_t pid_ = -1;
  std::string base_url_;
};

}  // namespace sd::test
