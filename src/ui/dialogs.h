#pragma once
// Every message box of the program goes through one dialog service. The real one shows a modal
// QMessageBox without an icon and with the Chinese buttons "确定" / "取消"; tests put a recorder
// in its place (src/ui/dialog_recorder.h).
#include <QString>

class QWidget;

namespace sd {

class AppState;

class DialogService {
 public:
  virtual ~DialogService();
  // OK only.
  virtual void message(QWidget* owner, const QString& title, const QString& text) = 0;
  // OK and Cancel; true when OK was chosen.
  virtual bool ok_cancel(QWidget* owner, const QString& title, const QString& text) = 0;
};

// The service in use; the message-box one unless set_dialog_service gave another.
DialogService& dialogs();
// nullptr restores the message-box service. The caller keeps ownership.
void set_dialog_service(DialogService* service);

// "错误：" + error_code + "，" + error_message + "!", titled "错误".
void show_server_error(QWidget* owner, const AppState& state);
// An input problem, titled "提示".
void show_hint(QWidget* owner, const QString& text);

}  // namespace sd
