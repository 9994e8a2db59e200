#pragma once
// The QApplication every Qt test of this folder runs in (offscreen platform), and a bounded
// wait that keeps the event loop turning.
#include <functional>

namespace sd::test {

// Processes events until done() holds or timeout_ms passes; true when done() held.
bool wait_until(const std::function<bool()>& done, int timeout_ms = 10000);
// Processes events for about ms milliseconds.
void spin_for(int ms);

}  // namespace sd::test
