// The whole program in process: start-up against the reference server, login, the main window
// with its pages, a heartbeat, a password change.
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "src/app/deployment.h"
#include "src/protocol/operations.h"
#include "src/ui/dialog_recorder.h"
#include "src/ui/info_browser.h"
#include "src/ui/main_window.h"
#include "src/ui/server_call.h"
#include "src/ui/start_window.h"
#include "tests/qt_support/qt_environment.h"
#include "tests/ui_main/reference_server.h"

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace sd {
namespace {

using test::wait_until;

QWidget* window_named(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) return w;
  }
  return nullptr;
}

// "complete|<address>" once the browser shows a finished page.
QString page_state(InfoBrowser* browser) {
  QString state;
  bool done = false;
  browser->page()->runJavaScript(u"document.readyState + '|' + location.href"_s,
                                 [&](const QVariant& v) {
                                   state = v.toString();
                                   done = true;
                                 });
  wait_until([&] { return done; }, 5000);
  return state;
}

bool page_loaded(InfoBrowser* browser, const std::string& address) {
  const QString expected = u"complete|"_s + QString::fromStdString(address);
  return wait_until([&] { return page_state(browser) == expected; }, 30000);
}

TEST(EndToEnd, StartLoginPagesHeartbeatChangePassword) {
  test::ReferenceServer server;
  ASSERT_TRUE(server.started()) << server.error();
  const auto old_cwd = std::filesystem::current_path();
  std::filesystem::current_path(server.folder());  // config.ini goes there

  Program program;
  program.deployment = builtin_deployment();
  program.deployment.init_address = server.init_url();
  program.deployment.probe_address = "http://127.0.0.1:" + std::to_string(server.port()) + "/health";
  program.exchange.handshake_attempts = 2;
  program.exchange.data_attempts = 2;
  program.exchange.timeout_seconds = 10;
  program.make_main_window = [](Program& p) -> QWidget* {
    return new MainWindow(p, MainWindow::Options{300ms});
  };
  DialogRecorder dialogs;
  std::vector<int> end_codes;
  set_exit_hooks({[&](int code) { end_codes.push_back(code); }, [] {}});

  (new StartWindow(program))->show();
  ASSERT_TRUE(wait_until([] { return window_named(u"LoginWindow"_s) != nullptr; }))
      << (dialogs.boxes.empty() ? std::string() : dialogs.boxes[0].text.toStdString());
  QWidget* login_window = window_named(u"LoginWindow"_s);
  login_window->findChild<QLineEdit*>(u"编辑框_账号"_s)->setText(u"demo"_s);
  login_window->findChild<QLineEdit*>(u"编辑框_密码"_s)->setText(u"demo123"_s);
  QTest::mouseClick(login_window->findChild<QPushButton*>(u"按钮_登录"_s), Qt::LeftButton);

  ASSERT_TRUE(wait_until([] { return window_named(u"MainWindow"_s) != nullptr; }));
  QPointer<MainWindow> main = qobject_cast<MainWindow*>(window_named(u"MainWindow"_s));
  ASSERT_TRUE(main);
  ASSERT_TRUE(wait_until([] { return window_named(u"LoginWindow"_s) == nullptr; }));
  const std::string first_token = program.state.login_token();

  // Page 0 and a selected page load from the addresses the server's table gave.
  ASSERT_FALSE(program.state.page_addresses[0].empty());
  EXPECT_TRUE(page_loaded(main->browser(0), program.state.page_addresses[0]));
  main->pages->setCurrentIndex(2);
  ASSERT_NE(main->browser(2), nullptr);
  EXPECT_TRUE(page_loaded(main->browser(2), program.state.page_addresses[2]));

  // A heartbeat renews the token.
  ASSERT_TRUE(wait_until([&] { return program.state.login_token() != first_token; }));

  QTest::mouseClick(main->change_password_button, Qt::LeftButton);
  ASSERT_TRUE(wait_until([] { return window_named(u"ChangePasswordWindow"_s) != nullptr; }));
  QPointer<QWidget> change = window_named(u"ChangePasswordWindow"_s);
  EXPECT_TRUE(change->isModal());
  change->findChild<QLineEdit*>(u"编辑框_原密码"_s)->setText(u"demo123"_s);
  change->findChild<QLineEdit*>(u"编辑框_新密码"_s)->setText(u"demo456"_s);
  change->findChild<QLineEdit*>(u"编辑框_确认密码"_s)->setText(u"demo456"_s);
  QTest::mouseClick(change->findChild<QPushButton*>(u"按钮_确定"_s), Qt::LeftButton);
  ASSERT_TRUE(wait_until([&] { return change.isNull(); }));
  ASSERT_FALSE(dialogs.boxes.empty());
  EXPECT_EQ(dialogs.boxes.back().text, u"修改成功！"_s);

  std::string user, token, level, id, code, message;
  EXPECT_EQ(login(program.state.account_address, "demo", "demo456", program.state.app_id, user,
                  token, level, id, code, message),
            1);
  EXPECT_TRUE(end_codes.empty());

  main->close();  // the last window: the heartbeat stops with it
  delete main.data();
  wait_until([] { return server_calls_in_flight() == 0; }, 5000);
  set_exit_hooks({});
  std::filesystem::current_path(old_cwd);
}

}  // namespace
}  // namespace sd
