#include "src/ui/server_call.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace sd::detail {

namespace {

struct Registry {
  std::mutex lock;
  std::condition_variable ended;
  std::set<std::shared_ptr<CallTicket>> calls;
};

Registry& registry() {
  // Never destroyed: workers still running at process end may touch it.
  static Registry* instance = new Registry;
  return *instance;
}

}  // namespace

std::shared_ptr<CallTicket> register_call() {
  auto ticket = std::make_shared<CallTicket>();
  Registry& r = registry();
  std::lock_guard<std::mutex> hold(r.lock);
  r.calls.insert(ticket);
  return ticket;
}

void unregister_call(const std::shared_ptr<CallTicket>& ticket) {
  Registry& r = registry();
  {
    std::lock_guard<std::mutex> hold(r.lock);
    r.calls.erase(ticket);
  }
  r.ended.notify_all();
}

void post_to_gui(std::function<void()> fn) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return;
  QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

void start_worker(std::function<void()> fn) { std::thread(std::move(fn)).detach(); }

}  // namespace sd::detail

namespace sd {

bool abort_server_calls(std::chrono::milliseconds limit) {
  detail::Registry& r = detail::registry();
  std::unique_lock<std::mutex> hold(r.lock);
  for (const auto& ticket : r.calls) ticket->cancel.store(true);
  return r.ended.wait_for(hold, limit, [&r] { return r.calls.empty(); });
}

int server_calls_in_flight() {
  detail::Registry& r = detail::registry();
  std::lock_guard<std::mutex> hold(r.lock);
  return static_cast<int>(r.calls.size());
}

}  // namespace sd
