#include "src/ui/login_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "src/protocol/operations.h"
#include "src/ui/desktop.h"
#include "src/ui/dialogs.h"
#include "src/ui/qt_text.h"
#include "src/ui/register_window.h"
#include "src/ui/remembered_login.h"
#include "src/ui/templates/template_support.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

namespace {

struct LoginCall {
  int result = 0;
  std::string user, token, level, id, error_code, error_message;
};

}  // namespace

LoginWindow::LoginWindow(Program& program) : program_(program), login_action_(this) {
  connect(login_button, &QPushButton::clicked, this, &LoginWindow::submit_login);
  connect(register_button, &QPushButton::clicked, this, &LoginWindow::open_register_window);
  connect(service_label, &tpl::PressableLabel::pressed, this, &LoginWindow::open_service_chat);
  restore_login_form();
}

void LoginWindow::restore_login_form() {
  const AppState& state = program_.state;
  service_label->setText(u"客服QQ："_s + to_qstring(state.service_qq));
  subtitle_label->setText(to_qstring(state.login_subtitle));
  const RememberedLogin remembered = read_remembered_login(config_ini_path(), state.app_title);
  if (!remembered.remember) {
    remember_check->setChecked(false);
    return;
  }
  remember_check->setChecked(true);
  account_edit->setText(to_qstring(remembered.account));
  password_edit->setText(to_qstring(remembered.password));
}

void LoginWindow::submit_login() {
  if (login_action_.busy()) return;
  if (account_edit->text().isEmpty() || password_edit->text().isEmpty()) {
    show_hint(this, u"请检查输入的账号密码！"_s);
    return;
  }
  const std::string account = to_local(account_edit->text());
  const std::string password = to_local(password_edit->text());
  const bool remember = remember_check->isChecked();
  const AppState& s = program_.state;
  ExchangeOptions exchange = program_.exchange;
  login_action_.start<LoginCall>(
      [url = s.account_address, appid = s.app_id, account, password, remember,
       section = s.app_title, code = s.error_code(), message = s.error_message(),
       exchange](const std::atomic<bool>& cancel) {
        LoginCall call;
        call.error_code = code;
        call.error_message = message;
        CallOptions options;
        options.exchange = exchange;
        options.exchange.cancel = &cancel;
        call.result = login(url, account, password, appid, call.user, call.token, call.level,
                            call.id, call.error_code, call.error_message, options);
        // The remembered login is written here, after the login succeeded and before the
        // main window opens, so that the file's sync never holds up the window.
        if (call.result == 1 && !cancel.load()) {
          write_remembered_login(config_ini_path(), section, remember, account, password);
        }
        return call;
      },
      [this](LoginCall call) {
        AppState& state = program_.state;
        if (call.result != 1) {
          state.set_error(std::move(call.error_code), std::move(call.error_message));
          show_server_error(this, state);
          return;
        }
        state.user_name = call.user;
        state.set_login_token(call.token);
        state.user_level = call.level;
        state.user_id = call.id;
        if (program_.make_main_window) {
          if (QWidget* main = program_.make_main_window(program_)) main->show();
        }
        close();
      });
}

void LoginWindow::open_service_chat() {
  const AppState& state = program_.state;
  open_address("http://" + program_.deployment.chat_host + "/msgrd?v=3&uin=" + state.service_qq +
               "&site=qq&menu=yes");
}

void LoginWindow::open_register_window() {
  auto* dialog = new RegisterWindow(program_, this);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
}

}  // namespace sd
