#pragma once
// The QApplication of every Qt test: the offscreen platform unless the caller chose
// one, and web-engine switches that keep the browsers on 127.0.0.1 (every other host name fails
// to resolve, no proxy, no background fetches). Bounded waits that keep the event loop turning.
#include <functional>

namespace sd::test {

// Processes events until done() holds or timeout_ms passes; true when done() held.
bool wait_until(const std::function<bool()>& done, int timeout_ms = 20000);
// Processes events for about ms milliseconds.
void spin_for(int ms);

}  // namespace sd::test
