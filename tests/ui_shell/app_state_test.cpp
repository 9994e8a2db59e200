// The fields shared with the heartbeat thread: replaced and read from two threads at once,
// a reader only ever sees a whole value.
#include "src/app/app_state.h"

#include <atomic>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace sd {
namespace {

TEST(AppState, SharedFieldsAreReplacedWhole) {
  AppState state;
  const std::string a(300, 'a'), b(5, 'b');
  state.set_login_token(a);
  state.set_error(a, a);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (int i = 0; i < 20000; ++i) {
      state.set_login_token(i % 2 ? a : b);
      state.set_error(i % 2 ? a : b, i % 2 ? a : b);
    }
    stop = true;
  });
  int reads = 0;
  while (!stop.load() && reads < 200000) {
    const std::string token = state.login_token();
    ASSERT_TRUE(token == a || token == b);
    const std::string text = state.error_text();
    ASSERT_TRUE(text == "错误：" + a + "，" + a + "!" || text == "错误：" + b + "，" + b + "!");
    ++reads;
  }
  writer.join();
}

TEST(AppState, ClearReleasesEveryText) {
  AppState state;
  state.app_title = "t";
  state.page_addresses[30] = "x";
  state.set_login_token("tok");
  state.set_error("1", "m");
  state.clear();
  EXPECT_EQ(state.app_title, "");
  EXPECT_EQ(state.page_addresses[30], "");
  EXPECT_EQ(state.login_token(), "");
  EXPECT_EQ(state.error_text(), "错误：，!");
}

}  // namespace
}  // namespace sd
