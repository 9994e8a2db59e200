#include "src/ui/change_password_window.h"

#include <QLineEdit>
#include <QPushButton>

#include "src/protocol/operations.h"
#include "src/ui/dialogs.h"
#include "src/ui/qt_text.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

namespace {

struct ChangeCall {
  int result = 0;
  std::string error_code, error_message;
};

}  // namespace

ChangePasswordWindow::ChangePasswordWindow(Program& program, QWidget* owner)
    : ChangePasswordWindowTemplate(owner), program_(program), change_action_(this) {
  connect(ok_button, &QPushButton::clicked, this, &ChangePasswordWindow::submit_change);
  connect(cancel_button, &QPushButton::clicked, this, &QWidget::close);
}

void ChangePasswordWindow::submit_change() {
  if (change_action_.busy()) return;
  // Texts as typed: nothing is trimmed, comparisons are exact.
  const QString old_password = old_edit->text();
  const QString new_password = new_edit->text();
  const QString confirmation = confirm_edit->text();
  if (old_password.isEmpty() || new_password.isEmpty() || confirmation.isEmpty()) {
    show_hint(this, u"请输入原密码和新密码后继续！"_s);
    return;
  }
  if (new_password != confirmation) {
    show_hint(this, u"新密码二次输入不一致，请检查！"_s);
    return;
  }
  if (old_password == confirmation || old_password == new_password) {
    show_hint(this, u"新旧密码一样，无需修改！"_s);
    return;
  }

  const AppState& s = program_.state;
  ExchangeOptions exchange = program_.exchange;
  change_action_.start<ChangeCall>(
      [url = s.account_address, appid = s.app_id, token = s.login_token(),
       old_local = to_local(old_password), new_local = to_local(new_password),
       code = s.error_code(), message = s.error_message(),
       exchange](const std::atomic<bool>& cancel) {
        // A reply that opens without the success message leaves the earlier error texts.
        ChangeCall call;
        call.error_code = code;
        call.error_message = message;
        CallOptions options;
        options.exchange = exchange;
        options.exchange.cancel = &cancel;
        call.result = change_pawd(url, appid, token, old_local, new_local, call.error_code,
                                  call.error_message, options);
        return call;
      },
      [this](ChangeCall call) {
        if (call.result != 1) {
          // The entries stay as typed so the user can try again.
          program_.state.set_error(std::move(call.error_code), std::move(call.error_message));
          show_server_error(nullptr, program_.state);
          return;
        }
        show_hint(this, u"修改成功！"_s);
        close();
      });
}

}  // namespace sd
