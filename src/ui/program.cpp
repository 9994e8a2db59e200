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
}  // namespace

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
