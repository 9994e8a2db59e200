#include "src/ui/heartbeat.h"

#include <future>

namespace sd {

// Everything the thread uses lives here, so that a thread that outlives stop() (an exchange
// that ignores its cancel flag for longer than the wait) still reads valid memory.
struct Heartbeat::Shared {
  AppState* state = nullptr;
  HeartbeatCallbacks callbacks;
  HeartbeatCall call;
  std::chrono::milliseconds interval{};
  ExchangeOptions exchange;
  std::string account_address;
  std::string app_id;

  std::atomic<bool> cancel{false};
  std::mutex mutex;  // guards stopped and every use of state and callbacks by the thread
  std::condition_variable wake;
  bool stopped = false;
  std::promise<void> finished;
};

Heartbeat::Heartbeat(AppState& state, HeartbeatCallbacks callbacks,
                     std::chrono::milliseconds interval, ExchangeOptions exchange,
                     HeartbeatCall call)
    : state_(state), shared_(std::make_shared<Shared>()) {
  shared_->state = &state;
  shared_->callbacks = std::move(callbacks);
  shared_->call = call ? std::move(call) : HeartbeatCall(&hearlog);
  shared_->interval = interval;
  shared_->exchange = exchange;
  shared_->exchange.cancel = &shared_->cancel;
}

Heartbeat::~Heartbeat() { stop(); }

void Heartbeat::start() {
  if (thread_.joinable()) return;
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->stopped) return;
  }
  shared_->account_address = state_.account_address;
  shared_->app_id = state_.app_id;
  thread_ = std::thread(&Heartbeat::run, shared_);
}

bool Heartbeat::running() const { return thread_.joinable(); }

void Heartbeat::stop() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopped = true;
    shared_->cancel.store(true);
  }
  shared_->wake.notify_all();
  if (!thread_.joinable()) return;
  auto done = shared_->finished.get_future();
  if (done.wait_for(std::chrono::milliseconds(1200)) == std::future_status::ready) {
    thread_.join();
  } else {
    // The exchange did not honour its cancel flag in time. The thread keeps its own copy of
    // what it needs and, seeing `stopped`, leaves without touching anything else.
    thread_.detach();
  }
}

void Heartbeat::run(std::shared_ptr<Shared> shared) {
  bool failing = false;
  for (;;) {
    {
      std::unique_lock lock(shared->mutex);
      shared->wake.wait_for(lock, shared->interval, [&] { return shared->stopped; });
      if (shared->stopped) break;
    }

    std::string token;
    {
      std::lock_guard lock(shared->mutex);
      if (shared->stopped) break;
      token = shared->state->login_token();
    }

    std::string error_code, error_message;
    ExchangeOutcome outcome = ExchangeOutcome::opened;
    CallOptions options;
    options.exchange = shared->exchange;
    options.outcome = &outcome;
    std::string reply = shared->call(shared->account_address, token, shared->app_id, error_code,
                                     error_message, options);

    std::lock_guard lock(shared->mutex);
    if (shared->stopped) break;
    const bool failed = reply == "error";
    if (failed && outcome == ExchangeOutcome::unreachable) {
      // Gave up on the network: keep the token and try again at the next beat.
      if (!failing && shared->callbacks.retrying) shared->callbacks.retrying();
      failing = true;
      continue;
    }
    shared->state->set_login_token(reply);
    if (failed) {
      shared->state->set_error(error_code, error_message);
      if (shared->callbacks.refused) shared->callbacks.refused(shared->state->error_text());
      break;
    }
    if (failing && shared->callbacks.recovered) shared->callbacks.recovered();
    failing = false;
    if (shared->callbacks.beat_done) shared->callbacks.beat_done();
  }
  shared->finished.set_value();
}

}  // namespace sd
