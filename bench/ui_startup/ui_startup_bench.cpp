// Start-up time and memory of the desktop program, driven in process the way the entry runs it:
//   ui_startup_bench <account server base url> [--isolated] [--gl]
// Prints: process start -> login window shown; login click -> page 0 loaded; the PSS of the
// whole process tree (web-engine helpers included) after login, after visiting all 31 pages and
// after 100 tab switches. --isolated runs the browsers with a renderer per page instead of the
// program's shared renderer per site; --gl composites the views with OpenGL instead of software.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "src/app/deployment.h"
#include "src/ui/info_browser.h"
#include "src/ui/main_window.h"
#include "src/ui/program.h"
#include "src/ui/start_window.h"
#include "src/ui/templates/template_support.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Milliseconds since the process was started by the kernel (10 ms resolution).
double process_age_ms() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  const auto close = text.rfind(')');
  std::istringstream rest(text.substr(close + 2));
  std::string field;
  for (int i = 3; i <= 22; ++i) rest >> field;  // field 22: start time in clock ticks
  const double start_s = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
  std::ifstream uptime("/proc/uptime");
  double up_s = 0;
  uptime >> up_s;
  return (up_s - start_s) * 1000.0;
}

struct Tree {
  int processes = 0;
  long pss_kb = 0;
  long largest_kb = 0;  // the largest single process
  long own_kb = 0;      // this process
};

// The PSS of this process and all its descendants.
Tree process_tree() {
  std::map<int, int> parent;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(text.substr(close + 2));
    std::string state;
    int ppid = 0;
    rest >> state >> ppid;
    parent[std::stoi(name)] = ppid;
  }
  const int self = getpid();
  Tree tree;
  for (const auto& [pid, ppid] : parent) {
    int p = pid;
    while (p != self && p > 1 && parent.count(p)) p = parent[p];
    if (p != self) continue;
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string line;
    long kb = 0;
    while (std::getline(rollup, line)) {
      if (line.rfind("Pss:", 0) == 0) kb = std::stol(line.substr(4));
    }
    tree.pss_kb += kb;
    tree.largest_kb = std::max(tree.largest_kb, kb);
    if (pid == self) tree.own_kb = kb;
    ++tree.processes;
  }
  return tree;
}

bool wait_until(const std::function<bool()>& done, int timeout_ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::usleep(500);
  }
  return true;
}

void settle(int ms) { wait_until([] { return false; }, ms); }

QWidget* window_named(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) return w;
  }
  return nullptr;
}

void report_tree(const char* when) {
  const Tree tree = process_tree();
  std::printf("%-44s %8.1f MB  (%d processes; program %.1f MB, largest %.1f MB)\n", when,
              tree.pss_kb / 1024.0, tree.processes, tree.own_kb / 1024.0, tree.largest_kb / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  const double entered_ms = process_age_ms();
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: ui_startup_bench <account server base url> [--isolated] [--gl] "
                 "[--<web engine switch> ...]\n");
    return 2;
  }
  const std::string base = argv[1];
  sd::WebEngineSwitches switches;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--isolated") == 0) switches.process_per_site = false;
    if (std::strcmp(argv[i], "--gl") == 0) switches.software_compositing = false;
    // Any other "--" argument is handed to the web engine, to compare its switches.
    if (std::strncmp(argv[i], "--", 2) == 0 && std::strcmp(argv[i], "--isolated") != 0 &&
        std::strcmp(argv[i], "--gl") != 0) {
      switches.extra.append(QByteArray(argv[i]));
    }
  }

  // As the program's entry does (plus the switches under comparison).
  sd::prepare_web_engine(switches);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  static char name[] = "stockdesk";
  static char* fixed_argv[] = {name, nullptr};
  static int fixed_argc = 1;
  QApplication app(fixed_argc, fixed_argv);
  QApplication::setQuitOnLastWindowClosed(false);
  sd::tpl::apply_program_fonts();

  sd::Program program;
  program.deployment = sd::builtin_deployment();
  program.deployment.init_address = base + "/api/init";
  program.deployment.probe_address = base + "/health";
  program.make_main_window = [](sd::Program& p) -> QWidget* { return new sd::MainWindow(p); };
  sd::register_clean_up(&program);

  (new sd::StartWindow(program))->show();
  if (!wait_until([] { return window_named(u"LoginWindow"_s) != nullptr; }, 30000)) {
    std::fprintf(stderr, "the login window did not open\n");
    return 1;
  }
  const double login_shown_ms = process_age_ms();
  const Tree before_login = process_tree();

  QWidget* login = window_named(u"LoginWindow"_s);
  login->findChild<QLineEdit*>(u"编辑框_账号"_s)->setText(u"bench"_s);
  login->findChild<QLineEdit*>(u"编辑框_密码"_s)->setText(u"bench123"_s);
  QElapsedTimer clicked;
  clicked.start();
  login->findChild<QPushButton*>(u"按钮_登录"_s)->click();
  if (!wait_until([] { return window_named(u"MainWindow"_s) != nullptr; }, 30000)) {
    std::fprintf(stderr, "the main window did not open\n");
    return 1;
  }
  auto* main = qobject_cast<sd::MainWindow*>(window_named(u"MainWindow"_s));
  bool page0 = false;
  QObject::connect(main->browser(0), &QWebEngineView::loadFinished, [&](bool) { page0 = true; });
  if (!wait_until([&] { return page0; }, 60000)) {
    std::fprintf(stderr, "page 0 did not load\n");
    return 1;
  }
  const qint64 page0_ms = clicked.elapsed();

  std::printf("renderers: %s; views composited %s\n",
              switches.process_per_site ? "one per site (program)" : "one per page",
              switches.software_compositing ? "in software (program)" : "with OpenGL");
  std::printf("%-44s %8.1f ms\n", "process start -> bench entry", entered_ms);
  std::printf("%-44s %8.1f ms  (10 ms resolution)\n", "process start -> login window shown",
              login_shown_ms);
  std::printf("%-44s %8d\n", "processes before login (web engine: none)", before_login.processes);
  std::printf("%-44s %8lld ms\n", "login click -> page 0 loaded", static_cast<long long>(page0_ms));
  settle(2000);
  report_tree("PSS after login");

  QElapsedTimer visiting;
  visiting.start();
  for (int i = 1; i < sd::page_count; ++i) {
    main->pages->setCurrentIndex(i);
    bool loaded = false;
    QObject::connect(main->browser(i), &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
    wait_until([&] { return loaded; }, 30000);
  }
  std::printf("%-44s %8lld ms\n", "visiting pages 1..30, each until loaded",
              static_cast<long long>(visiting.elapsed()));
  settle(2000);
  report_tree("PSS after visiting all 31 pages");

  std::mt19937 random(7);
  for (int i = 0; i < 100; ++i) {
    main->pages->setCurrentIndex(static_cast<int>(random() % sd::page_count));
    settle(50);
  }
  settle(2000);
  report_tree("PSS after 100 tab switches");

  delete main;
  sd::register_clean_up(nullptr);
  return 0;
}
