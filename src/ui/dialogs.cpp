#include "src/ui/dialogs.h"

#include <QMessageBox>
#include <QPushButton>

#include "src/app/app_state.h"
#include "src/ui/qt_text.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

namespace {

class MessageBoxDialogs final : public DialogService {
 public:
  void message(QWidget* owner, const QString& title, const QString& text) override {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, owner);
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = box.addButton(u"确定"_s, QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
  }

  bool ok_cancel(QWidget* owner, const QString& title, const QString& text) override {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, owner);
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = box.addButton(u"确定"_s, QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(u"取消"_s, QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok;
  }
};

DialogService* current_service = nullptr;

}  // namespace

DialogService::~DialogService() = default;

DialogService& dialogs() {
  static MessageBoxDialogs message_boxes;
  return current_service != nullptr ? *current_service : message_boxes;
}

void set_dialog_service(DialogService* service) { current_service = service; }

void show_server_error(QWidget* owner, const AppState& state) {
  dialogs().message(owner, u"错误"_s, to_qstring(state.error_text()));
}

void show_hint(QWidget* owner, const QString& text) { dialogs().message(owner, u"提示"_s, text); }

}  // namespace sd
