// The login and register windows against the reference server.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <iostream>

#include "src/ui/login_window.h"
#include "src/ui/qt_text.h"
#include "src/ui/register_window.h"
#include "src/ui/remembered_login.h"
#include "src/ui/server_call.h"
#include "src/ui/templates/template_support.h"
#include "tests/qt_support/qt_environment.h"
#include "tests/ui_shell/shell_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace sd::test {
namespace {

class LoginTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    program_.make_main_window = [this](Program&) -> QWidget* {
      ++main_windows_;
      auto* w = new QWidget;
      w->setObjectName(u"MainWindow"_s);
      w->setAttribute(Qt::WA_DeleteOnClose);
      return w;
    };
  }

  LoginWindow* open_login() {
    auto* w = new LoginWindow(program_);
    w->show();
    login_ = w;
    return w;
  }
  void type(const QString& account, const QString& password, bool remember) {
    login_->account_edit->setText(account);
    login_->password_edit->setText(password);
    login_->remember_check->setChecked(remember);
  }
  bool login_finished() {
    return (login_.isNull() || !login_->isVisible()) || !dialogs_.boxes.empty();
  }
  std::string section() const { return "[" + program_.state.app_title + "]\r\n"; }

  QPointer<LoginWindow> login_;
  int main_windows_ = 0;
};

TEST_F(LoginTest, EmptyBoxesGiveTheHintAndSendNothing) {
  prepare_logged_out();
  const std::pair<QString, QString> cases[] = {{QString(), u"secret1"_s}, {u"alice"_s, QString()}};
  for (const auto& [account, password] : cases) {
    open_login();
    type(account, password, true);
    dialogs_.boxes.clear();
    login_->login_button->click();
    EXPECT_EQ(server_calls_in_flight(), 0);
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0].title, u"提示"_s);
    EXPECT_EQ(dialogs_.boxes[0].text, u"请检查输入的账号密码！"_s);
    delete login_.data();
  }
  EXPECT_EQ(config_ini(), "");
}

TEST_F(LoginTest, RefusedLoginShowsTheErrorAndLeavesTheFileAlone) {
  prepare_logged_out();
  const std::string before = section() + "记住密码=假\r\n";
  write_config_ini(before);
  open_login();
  type(u"alice"_s, u"wrong"_s, true);
  login_->login_button->click();
  ASSERT_TRUE(wait_until([&] { return login_finished(); }));
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].title, u"错误"_s);
  EXPECT_EQ(dialogs_.boxes[0].text, to_qstring(program_.state.error_text()));
  EXPECT_FALSE(program_.state.error_code().empty());
  EXPECT_TRUE(login_->isVisible());
  EXPECT_EQ(login_->account_edit->text(), u"alice"_s);
  EXPECT_EQ(config_ini(), before);
  EXPECT_EQ(main_windows_, 0);
}

TEST_F(LoginTest, SuccessWritesTheRememberedLoginAndOpensTheMainWindow) {
  prepare_logged_out();
  open_login();
  type(u"alice"_s, u"secret1"_s, true);
  login_->login_button->click();
  ASSERT_TRUE(wait_until([&] { return login_finished(); }));
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(main_windows_, 1);
  ASSERT_TRUE(wait_until([&] { return login_.isNull(); }, 2000));
  EXPECT_EQ(program_.state.user_name, "alice");
  EXPECT_FALSE(program_.state.login_token().empty());
  EXPECT_EQ(config_ini(), section() + "记住密码=真\r\n账号=alice\r\n密码=" +
                              stored_password_form("secret1") + "\r\n");
  EXPECT_EQ(std::filesystem::status("config.ini").permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(LoginTest, SuccessWithoutRememberWritesOnlyTheFlag) {
  prepare_logged_out();
  const std::string kept = "账号=bob\r\n密码=" + stored_password_form("old") + "\r\n";
  write_config_ini(section() + "记住密码=真\r\n" + kept);
  open_login();
  EXPECT_EQ(login_->account_edit->text(), u"bob"_s);
  EXPECT_EQ(login_->password_edit->text(), u"old"_s);
  type(u"alice"_s, u"secret1"_s, false);
  login_->login_button->click();
  ASSERT_TRUE(wait_until([&] { return login_finished(); }));
  EXPECT_EQ(main_windows_, 1);
  EXPECT_EQ(config_ini(), section() + "记住密码=假\r\n" + kept);
  // The next window opens empty although the file still holds the login.
  open_login();
  EXPECT_FALSE(login_->remember_check->isChecked());
  EXPECT_TRUE(login_->account_edit->text().isEmpty());
  EXPECT_TRUE(login_->password_edit->text().isEmpty());
}

TEST_F(LoginTest, OnlyTheExactTrueTextRestoresTheForm) {
  prepare_logged_out();
  const std::pair<std::string, bool> cases[] = {
      {"真", true}, {"1", false}, {"true", false}, {"\" 真\"", false}, {"假", false}, {"", false}};
  for (const auto& [flag, restores] : cases) {
    SCOPED_TRACE(flag);
    write_config_ini(section() + "记住密码=" + flag + "\r\n账号=bob\r\n密码=" +
                     stored_password_form("pw") + "\r\n");
    open_login();
    EXPECT_EQ(login_->remember_check->isChecked(), restores);
    EXPECT_EQ(login_->account_edit->text(), restores ? u"bob"_s : QString());
    EXPECT_EQ(login_->password_edit->text(), restores ? u"pw"_s : QString());
    delete login_.data();
  }
}

TEST_F(LoginTest, PressingTheServiceLabelOpensTheChatAtOnce) {
  prepare_logged_out();
  open_login();
  const QPoint centre = login_->service_label->rect().center();
  QMouseEvent press(QEvent::MouseButtonPress, centre, login_->service_label->mapToGlobal(centre),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(login_->service_label, &press);
  EXPECT_EQ(opened_, QStringList{u"http://chat.invalid/msgrd?v=3&uin="_s +
                                 to_qstring(program_.state.service_qq) + u"&site=qq&menu=yes"_s});
}

TEST_F(LoginTest, SlowServerKeepsTheWindowResponsiveAndADoubleClickLogsInOnce) {
  options_.fault_delay_ms = 2000;
  prepare_logged_out();
  open_login();
  type(u"alice"_s, u"secret1"_s, false);
  QElapsedTimer clock;
  clock.start();
  qint64 last = 0, longest = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest = std::max(longest, now - last);
    last = now;
  });
  ticker.start(5);
  last = clock.elapsed();
  login_->login_button->click();
  login_->login_button->click();
  EXPECT_EQ(server_calls_in_flight(), 1);
  ASSERT_TRUE(wait_until([&] { return login_finished(); }, 30000));
  ticker.stop();
  std::cout << "[ measure ] login against a 2 s server took " << clock.elapsed()
            << " ms; longest GUI-thread stall " << longest << " ms\n";
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(main_windows_, 1);
}

TEST_F(LoginTest, ClosingTheWindowDuringALoginDropsIt) {
  options_.fault_delay_ms = 2000;
  prepare_logged_out();
  open_login();
  type(u"alice"_s, u"secret1"_s, true);
  login_->login_button->click();
  ASSERT_EQ(server_calls_in_flight(), 1);
  login_->close();
  ASSERT_TRUE(wait_until([&] { return login_.isNull(); }, 2000));
  QElapsedTimer timer;
  timer.start();
  EXPECT_TRUE(abort_server_calls());
  std::cout << "[ measure ] login aborted after its window closed in " << timer.elapsed()
            << " ms\n";
  spin_for(100);
  EXPECT_EQ(main_windows_, 0);
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(config_ini(), "");
}

// The register dialog, opened from the login window.
TEST_F(LoginTest, RegisterDialog) {
  prepare_logged_out();
  open_login();
  type(u"keep"_s, u"these"_s, false);
  auto open_register = [&] {
    login_->register_button->click();
    auto* dialog = login_->findChild<RegisterWindow*>();
    EXPECT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isModal());
    return QPointer<RegisterWindow>(dialog);
  };

  // Any empty box: the hint, nothing sent.
  QPointer<RegisterWindow> dialog = open_register();
  const QString fills[][3] = {{QString(), u"p"_s, u"1"_s}, {u"a"_s, QString(), u"1"_s},
                              {u"a"_s, u"p"_s, QString()}};
  for (const auto& fill : fills) {
    dialog->account_edit->setText(fill[0]);
    dialog->password_edit->setText(fill[1]);
    dialog->qq_edit->setText(fill[2]);
    dialogs_.boxes.clear();
    dialog->submit_button->click();
    EXPECT_EQ(server_calls_in_flight(), 0);
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0].title, u"提示"_s);
    EXPECT_EQ(dialogs_.boxes[0].text, u"内容输入不完整，请检查！"_s);
  }

  // Refused (the account exists): the error box, the dialog stays with its inputs.
  dialog->account_edit->setText(u"alice"_s);
  dialog->password_edit->setText(u"x"_s);
  dialog->qq_edit->setText(u" "_s);  // a blank counts as filled
  dialogs_.boxes.clear();
  dialog->submit_button->click();
  ASSERT_TRUE(wait_until([&] { return !dialogs_.boxes.empty(); }));
  EXPECT_EQ(dialogs_.boxes[0].title, u"错误"_s);
  EXPECT_EQ(dialogs_.boxes[0].text, to_qstring(program_.state.error_text()));
  EXPECT_FALSE(dialog.isNull());
  EXPECT_EQ(dialog->account_edit->text(), u"alice"_s);

  // Success: "注册成功！", the dialog closes, the login boxes keep what they held.
  dialog->account_edit->setText(u"新用户"_s);
  dialog->password_edit->setText(u"pw 1"_s);
  dialog->qq_edit->setText(u"12345"_s);
  dialogs_.boxes.clear();
  dialog->submit_button->click();
  ASSERT_TRUE(wait_until([&] { return dialog.isNull(); }));
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].title, u"提示"_s);
  EXPECT_EQ(dialogs_.boxes[0].text, u"注册成功！"_s);
  EXPECT_EQ(login_->account_edit->text(), u"keep"_s);
  EXPECT_EQ(login_->password_edit->text(), u"these"_s);

  // The new account logs in.
  type(u"新用户"_s, u"pw 1"_s, false);
  dialogs_.boxes.clear();
  login_->login_button->click();
  ASSERT_TRUE(wait_until([&] { return login_finished(); }));
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(program_.state.user_name, "新用户");
}

}  // namespace
}  // namespace sd::test
