// The desktop program's entry. It reads no command line and no environment: Qt gets a fixed
// argument list, and the web engine's switches are set here.
#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <unistd.h>

#include <cstdio>

#include "src/app/deployment.h"
#include "src/ui/info_browser.h"
#include "src/ui/program.h"
#include "src/ui/server_call.h"
#include "src/ui/start_window.h"
#include "src/ui/templates/template_support.h"
#if __has_include("src/ui/main_window.h")
#include "src/ui/main_window.h"
#define STOCKDESK_HAS_MAIN_WINDOW 1
#endif

int main() {
  // The web engine's switches: no background network chatter, one renderer per site, software
  // compositing, and no sandbox for root (it cannot start there).
  sd::prepare_web_engine();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

  static char program_name[] = "stockdesk";
  static char* fixed_argv[] = {program_name, nullptr};
  static int fixed_argc = 1;
  QApplication app(fixed_argc, fixed_argv);
  QApplication::setQuitOnLastWindowClosed(false);
  sd::set_end_with_last_window(true);
  sd::tpl::apply_program_fonts();

  sd::Program program;
  program.deployment = sd::builtin_deployment();
#ifdef STOCKDESK_HAS_MAIN_WINDOW
  program.make_main_window = [](sd::Program& p) -> QWidget* { return new sd::MainWindow(p); };
#endif
  sd::register_clean_up(&program);

  auto* start = new sd::StartWindow(program);
  start->show();

  const int code = app.exec();

  sd::run_clean_up();
  // A transfer still running is told to stop; one that does not stop within about a second
  // ends with the process.
  if (!sd::abort_server_calls()) {
    std::fflush(nullptr);
    _exit(code);
  }
  QList<QPointer<QWidget>> windows;
  for (QWidget* window : QApplication::topLevelWidgets()) windows.append(window);
  for (const QPointer<QWidget>& window : windows) delete window.data();  // owners delete first
  sd::register_clean_up(nullptr);
  return code;
}
