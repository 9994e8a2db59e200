#pragma once
// RegisterWindow: "注册", 354 × 358, centred, white; the password shows as typed. Esc closes it.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace sd {

class RegisterWindowTemplate : public QDialog {
  Q_OBJECT
 public:
  static constexpr QSize outer_size{354, 358};
  explicit RegisterWindowTemplate(QWidget* owner = nullptr);

  QLabel* heading;            // 标签1
  QLabel* account_caption;    // 标签2
  QLineEdit* account_edit;    // 编辑框_账号
  QLabel* password_caption;   // 标签3
  QLineEdit* password_edit;   // 编辑框_密码 (clear)
  QLabel* qq_caption;         // 标签4
  QLineEdit* qq_edit;         // 编辑框_QQ
  QPushButton* submit_button; // 按钮_注册
};

}  // namespace sd
