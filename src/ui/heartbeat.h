#pragma once
// The login heartbeat: a thread that calls hearlog with the current login_token at a fixed
// interval (measured from the end of one beat to the start of the next) and replaces the token
// with the one the server returns. Qt-free.
//
// Outcomes of a beat:
//   - the server answered with a token: login_token becomes it; if the beats before had failed
//     on the network, `recovered` is called;
//   - the server refused: login_token becomes "error", error_code/error_message hold the
//     server's texts, `refused` is called with the error text and the thread ends;
//   - the exchange gave up on the network: login_token keeps its value, `retrying` is called
//     and the next beat tries again.
// The callbacks run on the heartbeat thread, must return quickly and must not call stop().
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>  // also gives the std::chrono durations (<chrono> itself does not build
                   // with a GBK execution character set)

#include "src/app/app_state.h"
#include "src/protocol/operations.h"

namespace sd {

struct HeartbeatCallbacks {
  std::function<void(const std::string& error_text)> refused;
  std::function<void()> retrying;
  std::function<void()> recovered;
  std::function<void()> beat_done;  // after every beat that got a token (tests, status)
};

// The call a beat makes; the real one is hearlog. Tests may count or wrap it.
using HeartbeatCall = std::function<std::string(
    const std::string& url, const std::string& token, const std::string& appid,
    std::string& error_code, std::string& error_message, const CallOptions& options)>;

class Heartbeat {
 public:
  static constexpr std::chrono::milliseconds default_interval{30000};

  // account_address and app_id are copied from state when start() runs; login_token and the
  // error fields are read and written through state's lock.
  Heartbeat(AppState& state, HeartbeatCallbacks callbacks,
            std::chrono::milliseconds interval = default_interval,
            ExchangeOptions exchange = {}, HeartbeatCall call = {});
  ~Heartbeat();  // stop()
  Heartbeat(const Heartbeat&) = delete;
  Heartbeat& operator=(const Heartbeat&) = delete;

  void start();
  // Ends the wait at once and aborts an exchange in flight; waits about a second at most
  // for the thread. After it returns the thread touches neither the state nor the callbacks.
  void stop();
  bool running() const;

 private:
  struct Shared;
  static void run(std::shared_ptr<Shared> shared);

  AppState& state_;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace sd
