#include "src/ui/program.h"

#include <QCoreApplication>

#include <unistd.h>

namespace sd {

namespace {
Program* registered = nullptr;
ExitHooks& hooks() {
  static ExitHooks instance;
  return instance;
}
int last_code = 0;
int live_windows = 0;
bool end_with_last_window = false;
}  // namespace

void track_window(QWidget* window) {
  ++live_windows;
  QObject::connect(window, &QObject::destroyed, [] {
    --live_windows;
    if (live_windows > 0 || !end_with_last_window) return;
    // Decided after the events already queued, so a hand-over in progress completes first.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
          if (live_windows == 0 && end_with_last_window) QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);
  });
}

int tracked_windows() { return live_windows; }

void set_end_with_last_window(bool on) { end_with_last_window = on; }

void register_clean_up(Program* program) { registered = program; }

void run_clean_up() {
  if (registered != nullptr) registered->state.clear();
}

void end_program(int code) {
  run_clean_up();
  last_code = code;
  if (hooks().end_program) {
    hooks().end_program(code);
    return;
  }
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::exit(code);
  } else {
    _exit(code);
  }
}

void terminate_self() {
  if (hooks().terminate_self) {
    hooks().terminate_self();
    return;
  }
  _exit(0);
}

void set_exit_hooks(ExitHooks h) { hooks() = std::move(h); }

int program_exit_code() { return last_code; }

}  // namespace sd
