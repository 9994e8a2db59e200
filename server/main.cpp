// stockdesk-server: the reference account server.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include <pthread.h>

#include "server/account_server.h"
#include "server/options.h"

#ifndef STOCKDESK_DEFAULT_DEPLOY
#define STOCKDESK_DEFAULT_DEPLOY ""
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const sd::ParsedOptions parsed = sd::parse_server_options(args, STOCKDESK_DEFAULT_DEPLOY);
  if (parsed.action == sd::ParsedOptions::Action::help) {
    std::fputs(parsed.message.c_str(), stdout);
    return 0;
  }
  if (parsed.action == sd::ParsedOptions::Action::error) {
    std::fprintf(stderr, "stockdesk-server: %s\n(try --help)\n", parsed.message.c_str());
    return 2;
  }

  // Block the stop signals in every thread; the main thread waits for them below.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  sd::AccountServer server(parsed.options);
  std::string error;
  if (!server.start(error)) {
    std::fprintf(stderr, "stockdesk-server: %s\n", error.c_str());
    return 1;
  }
  std::printf("listening on %s\n", server.base_url().c_str());
  std::fflush(stdout);

  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  std::fprintf(stderr, "stockdesk-server: stopping (signal %d)\n", signal_number);
  server.stop();
  return 0;
}
