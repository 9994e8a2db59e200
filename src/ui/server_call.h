#pragma once
// Server calls never block the GUI thread: the work runs on a thread of its own and its result
// comes back to the GUI thread. A result whose context object is gone is dropped, and the
// context's destruction raises the call's cancel flag so the transfer is abandoned. Every call in
// flight is listed, so that shutdown can abort them all and wait a bounded time.
#include <QObject>
#include <QPointer>

#include <atomic>
#include <thread>  // std::chrono durations; <chrono> itself does not build with a GBK execution charset
#include <functional>
#include <memory>
#include <utility>

namespace sd {

namespace detail {
struct CallTicket {
  std::atomic<bool> cancel{false};
};
std::shared_ptr<CallTicket> register_call();
void unregister_call(const std::shared_ptr<CallTicket>& ticket);
// Runs fn on the GUI thread, later; dropped when the application object is gone.
void post_to_gui(std::function<void()> fn);
void start_worker(std::function<void()> fn);
}  // namespace detail

// Runs work off the GUI thread, then done(result) on the GUI thread while context still exists.
// Call on the GUI thread; context must live on the GUI thread.
template <class R>
void run_server_call(QObject* context, std::function<R(const std::atomic<bool>& cancel)> work,
                     std::function<void(R)> done) {
  std::shared_ptr<detail::CallTicket> ticket = detail::register_call();
  QPointer<QObject> guard(context);
  QObject::connect(context, &QObject::destroyed, [ticket] { ticket->cancel.store(true); });
  detail::start_worker([ticket, guard, work = std::move(work), done = std::move(done)]() mutable {
    R result = work(ticket->cancel);
    detail::post_to_gui([guard, done = std::move(done), result = std::move(result)]() mutable {
      if (guard) done(std::move(result));
    });
    detail::unregister_call(ticket);
  });
}

// Raises the cancel flag of every call in flight and waits until all have ended, at most limit.
// True when none is left.
bool abort_server_calls(std::chrono::milliseconds limit = std::chrono::milliseconds(1000));
int server_calls_in_flight();

// One user action that talks to the server (a button): while its call runs, starting it again
// is ignored, so a double click sends one request.
class ServerAction {
 public:
  explicit ServerAction(QObject* context) : context_(context) {}
  bool busy() const { return busy_; }

  // False (and nothing started) while the previous call of this action still runs.
  template <class R>
  bool start(std::function<R(const std::atomic<bool>& cancel)> work, std::function<void(R)> done) {
    if (busy_) return false;
    busy_ = true;
    run_server_call<R>(context_, std::move(work), [this, done = std::move(done)](R result) {
      busy_ = false;
      done(std::move(result));
    });
    return true;
  }

 private:
  QObject* context_;
  bool busy_ = false;
};

}  // namespace sd
