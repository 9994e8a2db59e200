// Server calls off the GUI thread: results delivered on the GUI thread, dropped for a context
// that is gone (whose destruction cancels the call), a busy action ignoring a second start.
#include "src/ui/server_call.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include "tests/qt_support/qt_environment.h"

namespace sd {
namespace {

TEST(ServerCall, ResultArrivesOnTheGuiThread) {
  QObject context;
  QThread* worker_thread = nullptr;
  QThread* done_thread = nullptr;
  int result = 0;
  run_server_call<int>(
      &context,
      [&](const std::atomic<bool>&) {
        worker_thread = QThread::currentThread();
        return 42;
      },
      [&](int r) {
        done_thread = QThread::currentThread();
        result = r;
      });
  ASSERT_TRUE(test::wait_until([&] { return result != 0; }));
  EXPECT_EQ(result, 42);
  EXPECT_EQ(done_thread, QCoreApplication::instance()->thread());
  EXPECT_NE(worker_thread, done_thread);
}

TEST(ServerCall, GoneContextCancelsTheWorkAndDropsTheResult) {
  auto* context = new QObject;
  std::atomic<bool> saw_cancel{false};
  bool delivered = false;
  run_server_call<int>(
      context,
      [&](const std::atomic<bool>& cancel) {
        for (int i = 0; i < 1000 && !cancel.load(); ++i) QThread::msleep(5);  // at most 5 s
        saw_cancel = cancel.load();
        return 1;
      },
      [&](int) { delivered = true; });
  EXPECT_EQ(server_calls_in_flight(), 1);
  delete context;
  EXPECT_TRUE(abort_server_calls());
  test::spin_for(50);
  EXPECT_TRUE(saw_cancel.load());
  EXPECT_FALSE(delivered);
}

TEST(ServerCall, ShutdownWaitIsBounded) {
  QObject context;
  std::atomic<bool> release{false};
  run_server_call<int>(
      &context,
      [&](const std::atomic<bool>&) {
        for (int i = 0; i < 1000 && !release.load(); ++i) QThread::msleep(5);  // ignores cancel
        return 0;
      },
      [](int) {});
  EXPECT_FALSE(abort_server_calls(std::chrono::milliseconds(50)));
  release = true;
  EXPECT_TRUE(abort_server_calls());
}

TEST(ServerCall, BusyActionIgnoresASecondStart) {
  QObject context;
  ServerAction action(&context);
  std::atomic<int> runs{0};
  int done = 0;
  auto work = [&](const std::atomic<bool>&) {
    ++runs;
    QThread::msleep(50);
    return 0;
  };
  EXPECT_TRUE(action.start<int>(work, [&](int) { ++done; }));
  EXPECT_TRUE(action.busy());
  EXPECT_FALSE(action.start<int>(work, [&](int) { ++done; }));
  ASSERT_TRUE(test::wait_until([&] { return done == 1; }));
  EXPECT_FALSE(action.busy());
  EXPECT_EQ(runs.load(), 1);
  EXPECT_TRUE(action.start<int>(work, [&](int) { ++done; }));
  ASSERT_TRUE(test::wait_until([&] { return done == 2; }));
}

}  // namespace
}  // namespace sd
