#include "src/ui/register_window.h"

#include <QLineEdit>
#include <QPushButton>

#include "src/protocol/operations.h"
#include "src/ui/dialogs.h"
#include "src/ui/qt_text.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

namespace {

struct RegisterCall {
  int result = 0;
  std::string error_code, error_message;
};

}  // namespace

RegisterWindow::RegisterWindow(Program& program, QWidget* owner)
    : RegisterWindowTemplate(owner), program_(program), register_action_(this) {
  connect(submit_button, &QPushButton::clicked, this, &RegisterWindow::submit_registration);
}

void RegisterWindow::submit_registration() {
  if (register_action_.busy()) return;
  if (account_edit->text().isEmpty() || password_edit->text().isEmpty() ||
      qq_edit->text().isEmpty()) {
    show_hint(this, u"内容输入不完整，请检查！"_s);
    return;
  }
  const AppState& s = program_.state;
  ExchangeOptions exchange = program_.exchange;
  register_action_.start<RegisterCall>(
      [url = s.account_address, appid = s.app_id, account = to_local(account_edit->text()),
       password = to_local(password_edit->text()), qq = to_local(qq_edit->text()),
       code = s.error_code(), message = s.error_message(),
       exchange](const std::atomic<bool>& cancel) {
        RegisterCall call;
        call.error_code = code;
        call.error_message = message;
        CallOptions options;
        options.exchange = exchange;
        options.exchange.cancel = &cancel;
        call.result = reg(url, account, password, qq, appid, call.error_code, call.error_message,
                          options);
        return call;
      },
      [this](RegisterCall call) {
        if (call.result == 0) {
          program_.state.set_error(std::move(call.error_code), std::move(call.error_message));
          show_server_error(this, program_.state);
          return;
        }
        dialogs().message(this, u"提示"_s, u"注册成功！"_s);
        close();
      });
}

}  // namespace sd
