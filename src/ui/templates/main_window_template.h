#pragma once
// MainWindow: "软件标题", 1050 × 685 at (50, 50), maximise button, Esc does not close it.
// A top bar with the account and two buttons, the page control 高级选择夹1 with the 31 titled
// pages (each page an empty area for its browser) and the status bar 状态条1 with two panels.
//
// "Not movable": on X11 and Wayland moving is the window manager's business and a client cannot
// take the Move command away; the window opens at (50, 50) and the program itself never moves it.
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace sd {

class MainWindowTemplate : public QWidget {
  Q_OBJECT
 public:
  static constexpr QSize outer_size{1050, 685};
  static constexpr QPoint outer_position{50, 50};
  static constexpr int page_count = 31;
  // Where a page's browser sits, relative to the page control (template figures).
  static constexpr QRect browser_rect{3, 45, 1031, 474};

  explicit MainWindowTemplate(QWidget* parent = nullptr);

  QLabel* top_bar;                     // 标签_下期期号
  QLabel* account_caption;             // 标签10
  QLabel* account_label;               // 标签_会员账号
  QPushButton* change_password_button; // 按钮_修改密码
  QPushButton* quit_button;            // 按钮_退出软件
  QTabWidget* pages;                   // 高级选择夹1
  std::array<QWidget*, page_count> page_areas{};  // the page of each tab, in page order
  QStatusBar* status_bar;              // 状态条1
  QLabel* status_panel1;               // "官网："
  QLabel* status_panel2;               // "客服QQ："
};

}  // namespace sd
