#include "tests/qt_support/qt_environment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include "src/ui/templates/template_support.h"

namespace sd::test {

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The web engine takes Chromium switches from the application's arguments too; this one
    // holds spaces, which the environment variable cannot carry.
    static char name[] = "stockdesk_test";
    static char resolver[] = "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1";
    static char no_proxy[] = "--no-proxy-server";
    static char* argv[] = {name, resolver, no_proxy, nullptr};
    static int argc = 3;
    app_ = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the tests own the loop
    tpl::apply_program_fonts();
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

bool wait_until(const std::function<bool()>& done, int timeout_ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::msleep(2);
  }
  return true;
}

void spin_for(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::msleep(2);
  }
}

}  // namespace sd::test
