// The program ends when its last window is destroyed, not when one of several goes.
#include "src/ui/program.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include "src/ui/templates/login_window_template.h"
#include "src/ui/templates/start_window_template.h"
#include "tests/qt_support/qt_environment.h"

namespace sd {
namespace {

// Runs a loop until the program ends it (its code) or 500 ms pass (-1).
int loop_result() {
  QEventLoop loop;
  QTimer::singleShot(500, &loop, [&loop] { loop.exit(-1); });
  return loop.exec();
}

TEST(ProgramEnd, OnlyTheLastWindowEndsTheLoop) {
  ASSERT_EQ(tracked_windows(), 0);  // every test before closed its windows
  set_end_with_last_window(true);
  auto* start = new StartWindowTemplate;
  auto* login = new LoginWindowTemplate;
  EXPECT_EQ(tracked_windows(), 2);
  start->show();
  login->show();
  QTimer::singleShot(0, start, [start] { start->close(); });
  EXPECT_EQ(loop_result(), -1);  // the login window keeps the program alive
  EXPECT_EQ(tracked_windows(), 1);
  QTimer::singleShot(0, login, [login] { login->close(); });
  EXPECT_EQ(loop_result(), 0);
  EXPECT_EQ(tracked_windows(), 0);
  set_end_with_last_window(false);
}

}  // namespace
}  // namespace sd
