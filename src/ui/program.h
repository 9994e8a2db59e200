#pragma once
// The program context that every window receives, and the three ways the program ends.
//
// Ending:
//  - the last window is destroyed: windows are created with Qt::WA_DeleteOnClose, so closing is
//    destroying; every window template registers itself with track_window, and the GUI loop ends
//    once no registered window is left (checked after pending events, so a window created
//    before the previous one goes keeps the program alive). Qt's own quitOnLastWindowClosed is
//    off: it judges by visible native windows, which come and go when the web engine recreates
//    a window's surface. The entry then runs the clean-up and returns 0.
//  - end_program(code): runs the clean-up and ends the GUI loop with code (QCoreApplication::exit,
//    which also leaves a nested loop such as an open message box); the entry then destroys the
//    windows and returns code. Call it on the GUI thread.
//  - terminate_self(): _exit(0) at once: no clean-up, no window events, other threads end with it.
// After the loop the entry aborts the server calls still in flight and waits at most about a
// second for them; a call that has not ended by then ends with the process (_exit).
#include <QWidget>

#include <functional>

#include "src/app/app_state.h"
#include "src/app/deployment.h"
#include "src/protocol/exchange.h"

namespace sd {

struct Program {
  Deployment deployment;
  AppState state;
  // Builds the window shown after a successful login. The entry sets it; left empty, a
  // successful login only closes the login window.
  std::function<QWidget*(Program&)> make_main_window;
  // Bounds of every account-server exchange the windows start.
  ExchangeOptions exchange{};
  // Time limit of the start-up connectivity check.
  int probe_timeout_seconds = 8;
};

// The end-of-process clean-up releases program.state; it runs from end_program and after the
// GUI loop. Registering nullptr forgets the program.
void register_clean_up(Program* program);
void run_clean_up();

// Counts window as a program window until it is destroyed.
void track_window(QWidget* window);
int tracked_windows();
// The entry turns this on: the GUI loop ends when the last tracked window is destroyed.
void set_end_with_last_window(bool on);

void end_program(int code);
void terminate_self();  // returns only under a test hook

// Tests: observe the ends instead of ending. end_program still runs the clean-up before its hook.
struct ExitHooks {
  std::function<void(int code)> end_program;
  std::function<void()> terminate_self;
};
void set_exit_hooks(ExitHooks hooks);

// Code passed to the last end_program, or 0.
int program_exit_code();

}  // namespace sd
