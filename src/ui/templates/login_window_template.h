#pragma once
// LoginWindow: "用户登录", 354 × 358, centred, white. Esc closes it.
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sd {

namespace tpl {
class PressableLabel;
}

class LoginWindowTemplate : public QWidget {
  Q_OBJECT
 public:
  static constexpr QSize outer_size{354, 358};
  explicit LoginWindowTemplate(QWidget* parent = nullptr);

  QLabel* subtitle_label;              // 标签1
  QLabel* account_caption;             // 标签2
  QLineEdit* account_edit;             // 编辑框_账号
  QLabel* password_caption;            // 标签3
  QLineEdit* password_edit;            // 编辑框_密码 (masked)
  tpl::PressableLabel* service_label;  // 标签4
  QCheckBox* remember_check;           // 选择框_记住密码
  QPushButton* login_button;           // 按钮_登录
  QPushButton* register_button;        // 按钮_注册

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace sd
