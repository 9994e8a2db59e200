#pragma once
// ChangePasswordWindow: "修改密码", 354 × 358, centred, white; the three boxes show their text as
// typed. Esc closes it.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace sd {

class ChangePasswordWindowTemplate : public QDialog {
  Q_OBJECT
 public:
  static constexpr QSize outer_size{354, 358};
  explicit ChangePasswordWindowTemplate(QWidget* owner = nullptr);

  QLabel* heading;               // 标签1
  QLabel* old_caption;           // 标签2
  QLineEdit* old_edit;           // 编辑框_原密码
  QLabel* new_caption;           // 标签3
  QLineEdit* new_edit;           // 编辑框_新密码
  QLabel* confirm_caption;       // 标签4
  QLineEdit* confirm_edit;       // 编辑框_确认密码
  QPushButton* ok_button;        // 按钮_确定
  QPushButton* cancel_button;    // 按钮_取消
};

}  // namespace sd
