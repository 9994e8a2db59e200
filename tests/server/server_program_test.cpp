// The stockdesk-server program: command line, start-up errors, ready line, stop on SIGTERM.
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "tests/server/server_fixture.h"

namespace sd::test {
namespace {

// A child process with its stdout and stderr on pipes.
struct Child {
  pid_t pid = -1;
  int out = -1, err = -1;
};

Child spawn(const std::vector<std::string>& args) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {};
  Child child;
  child.pid = fork();
  if (child.pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]), close(out[1]), close(err[0]), close(err[1]);
    std::vector<char*> argv;
    std::string program = STOCKDESK_SERVER_PROGRAM;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  child.out = out[0];
  child.err = err[0];
  return child;
}

// Reads fd until `until` appears (if given), EOF, or the time runs out.
std::string read_from(int fd, int timeout_ms, const std::string& until = "") {
  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buffer[512];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
    if (!until.empty() && text.find(until) != std::string::npos) break;
  }
  return text;
}

// Waits for the child to end (bounded); kills it when it does not. Returns its exit status.
int finish(Child& child, int timeout_ms) {
  int status = 0;
  for (int waited = 0; waited < timeout_ms; waited += 20) {
    if (waitpid(child.pid, &status, WNOHANG) == child.pid) {
      close(child.out);
      close(child.err);
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(child.pid, SIGKILL);
  waitpid(child.pid, &status, 0);
  close(child.out);
  close(child.err);
  return -2;
}

struct ProgramRun {
  int status;
  std::string out, err;
};

ProgramRun run(const std::vector<std::string>& args) {
  Child child = spawn(args);
  ProgramRun r;
  r.out = read_from(child.out, 20000);
  r.err = read_from(child.err, 2000);
  r.status = finish(child, 20000);
  return r;
}

class ProgramTest : public ServerTest {};

TEST_F(ProgramTest, HelpAndUsageErrors) {
  const ProgramRun help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--create-account"), std::string::npos);

  struct Case {
    std::vector<std::string> args;
    int status;
    std::string says;
  };
  const std::string db = (dir_ / "a.db").string();
  const std::vector<Case> cases = {
      {{"--deploy", deploy_file()}, 2, "--db"},
      {{"--db", db, "--port", "http"}, 2, "--port"},
      {{"--db", db, "--bogus"}, 2, "--bogus"},
      {{"--db", db, "--create-account", "nocolon"}, 2, "USER:PASSWORD"},
      {{"--deploy", (dir_ / "missing.conf").string(), "--db", db, "--port", "0"}, 1, "missing.conf"},
      {{"--deploy", deploy_file(), "--db", (dir_ / "no/such/dir/a.db").string(), "--port", "0"}, 1,
       "a.db"},
  };
  for (const Case& t : cases) {
    const ProgramRun r = run(t.args);
    EXPECT_EQ(r.status, t.status) << t.args.back() << r.err;
    EXPECT_NE(r.err.find(t.says), std::string::npos) << r.err;
  }
}

TEST_F(ProgramTest, PortInUseIsAClearStartUpError) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(fd, 1), 0);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  const std::string port = std::to_string(ntohs(address.sin_port));
  const ProgramRun r = run({"--deploy", deploy_file(), "--db", (dir_ / "a.db").string(), "--port", port});
  close(fd);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot listen on 127.0.0.1:" + port), std::string::npos) << r.err;
}

TEST_F(ProgramTest, AnnouncesItsPortServesAndStopsOnSigterm) {
  Child child = spawn({"--deploy", deploy_file(), "--db", (dir_ / "a.db").string(), "--port", "0",
                       "--create-account", "gina:pa:ss"});
  ASSERT_GT(child.pid, 0);
  const std::string line = read_from(child.out, 20000, "\n");
  const std::string prefix = "listening on http://127.0.0.1:";
  ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
  const int port = std::stoi(line.substr(prefix.size()));
  ASSERT_GT(port, 0);

  WireClient c(port, deploy_request_key());
  const DataReply login = c.call("login", {"gina", "pa:ss"});
  EXPECT_TRUE(login.opened.is_object()) << login.body;

  kill(child.pid, SIGTERM);
  EXPECT_EQ(finish(child, 15000), 0);
}

}  // namespace
}  // namespace sd::test
