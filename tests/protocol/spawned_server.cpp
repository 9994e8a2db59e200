#include "tests/protocol/spawned_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace sd::test {

SpawnedServer::SpawnedServer(const std::string& program, const std::vector<std::string>& arguments) {
  int out[2];
  if (::pipe(out) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    // The server is not what this test examines: keep a sanitizer build of it from halting on
    // reports about its own HTTP library.
    ::setenv("TSAN_OPTIONS", "report_bugs=0", 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  if (pid_ < 0) {
    ::close(out[0]);
    return;
  }
  std::string line;
  const std::string prefix = "listening on ";
  for (int waited = 0; waited < 200 && line.find('\n') == std::string::npos;) {
    pollfd fd{out[0], POLLIN, 0};
    const int ready = ::poll(&fd, 1, 100);
    if (ready == 0) {
      ++waited;
      continue;
    }
    char buffer[256];
    const ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    line.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(out[0]);
  const auto end = line.find('\n');
  if (line.rfind(prefix, 0) == 0 && end != std::string::npos) {
    base_url_ = line.substr(prefix.size(), end - prefix.size());
  }
}

SpawnedServer::~SpawnedServer() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace sd::test
