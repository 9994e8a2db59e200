#pragma once
// StartWindow: "连接服务器", 400 × 290, centred; a picture box with the busy animation and the
// connecting label. Esc closes it.
#include <QWidget>

class QLabel;

namespace sd {

class StartWindowTemplate : public QWidget {
  Q_OBJECT
 public:
  static constexpr QSize outer_size{400, 290};
  explicit StartWindowTemplate(QWidget* parent = nullptr);

  QLabel* picture_box;  // 图片框1
  QLabel* label;        // 标签1

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace sd
