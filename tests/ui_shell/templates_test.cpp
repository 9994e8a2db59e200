// The five window templates: geometry, captions, names, fonts, tab order, masking, Esc.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "src/app/page_titles.h"
#include "src/ui/qt_text.h"
#include "src/ui/templates/change_password_window_template.h"
#include "src/ui/templates/login_window_template.h"
#include "src/ui/templates/main_window_template.h"
#include "src/ui/templates/register_window_template.h"
#include "src/ui/templates/start_window_template.h"
#include "src/ui/templates/template_support.h"
#include "tests/qt_support/qt_environment.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {
namespace {

struct Control {
  QString name;
  QRect rect;
  QString caption;   // text of a label, button, check box; ignored for edit boxes
  int pixel_size;    // 0: the default GUI font
  bool bold;
};

struct WindowCase {
  const char* label;
  std::function<QWidget*()> make;
  QString title;
  QSize outer;
  bool white;
  std::vector<Control> controls;
  std::vector<QString> tab_order;  // focusable controls in tab order
  std::vector<QString> masked;     // edit boxes that mask their text
};

std::vector<WindowCase> window_cases() {
  return {
      {"start", [] { return new StartWindowTemplate; }, u"连接服务器"_s, {400, 290}, false,
       {{u"图片框1"_s, {0, 0, 400, 216}, QString(), 0, false},
        {u"标签1"_s, {0, 216, 400, 48}, u"正在连接服务器中，请稍候..."_s, 20, true}},
       {}, {}},
      {"login", [] { return new LoginWindowTemplate; }, u"用户登录"_s, {354, 358}, true,
       {{u"标签1"_s, {38, 24, 272, 48}, u"副标题"_s, 21, true},
        {u"标签2"_s, {38, 96, 64, 48}, u"账号："_s, 21, false},
        {u"编辑框_账号"_s, {110, 104, 200, 36}, QString(), 0, false},
        {u"标签3"_s, {38, 148, 64, 48}, u"密码："_s, 21, false},
        {u"编辑框_密码"_s, {110, 156, 200, 36}, QString(), 0, false},
        {u"标签4"_s, {40, 208, 144, 24}, u"客服QQ："_s, 12, false},
        {u"选择框_记住密码"_s, {224, 208, 80, 24}, u"记住密码"_s, 12, false},
        {u"按钮_登录"_s, {40, 256, 120, 36}, u"登录"_s, 12, false},
        {u"按钮_注册"_s, {187, 256, 120, 36}, u"免费注册"_s, 12, false}},
       {u"编辑框_账号"_s, u"编辑框_密码"_s, u"选择框_记住密码"_s, u"按钮_登录"_s, u"按钮_注册"_s},
       {u"编辑框_密码"_s}},
      {"register", [] { return new RegisterWindowTemplate; }, u"注册"_s, {354, 358}, true,
       {{u"标签1"_s, {38, 24, 272, 48}, u"注册新用户"_s, 21, true},
        {u"标签2"_s, {38, 96, 64, 48}, u"账号："_s, 21, false},
        {u"编辑框_账号"_s, {110, 104, 200, 36}, QString(), 0, false},
        {u"标签3"_s, {38, 148, 64, 48}, u"密码："_s, 21, false},
        {u"编辑框_密码"_s, {110, 156, 200, 36}, QString(), 0, false},
        {u"标签4"_s, {38, 197, 64, 48}, u"QQ："_s, 21, false},
        {u"编辑框_QQ"_s, {110, 205, 200, 36}, QString(), 0, false},
        {u"按钮_注册"_s, {143, 268, 137, 36}, u"注册"_s, 12, false}},
       {u"编辑框_账号"_s, u"编辑框_密码"_s, u"编辑框_QQ"_s, u"按钮_注册"_s}, {}},
      {"change password", [] { return new ChangePasswordWindowTemplate; }, u"修改密码"_s,
       {354, 358}, true,
       {{u"标签1"_s, {38, 24, 272, 48}, u"修改用户密码"_s, 21, true},
        {u"标签2"_s, {42, 96, 75, 48}, u"原密码："_s, 21, false},
        {u"编辑框_原密码"_s, {127, 104, 200, 36}, QString(), 0, false},
        {u"标签3"_s, {42, 148, 75, 48}, u"新密码："_s, 21, false},
        {u"编辑框_新密码"_s, {127, 156, 200, 36}, QString(), 0, false},
        {u"标签4"_s, {21, 197, 100, 48}, u"确认密码："_s, 21, false},
        {u"编辑框_确认密码"_s, {127, 205, 200, 36}, QString(), 0, false},
        {u"按钮_确定"_s, {33, 268, 129, 36}, u"确定"_s, 12, false},
        {u"按钮_取消"_s, {186, 268, 129, 36}, u"取消"_s, 12, false}},
       {u"编辑框_原密码"_s, u"编辑框_新密码"_s, u"编辑框_确认密码"_s, u"按钮_确定"_s, u"按钮_取消"_s},
       {}},
      {"main", [] { return new MainWindowTemplate; }, u"软件标题"_s, {1050, 685}, false,
       {{u"标签_下期期号"_s, {0, 0, 1048, 26}, QString(), 12, false},
        {u"标签10"_s, {10, 4, 60, 18}, u"会员账号："_s, 12, false},
        {u"标签_会员账号"_s, {80, 4, 100, 18}, QString(), 12, false},
        {u"按钮_修改密码"_s, {754, 4, 80, 18}, u"修改密码"_s, 12, false},
        {u"按钮_退出软件"_s, {936, 4, 80, 18}, u"退出软件"_s, 12, false},
        {u"高级选择夹1"_s, {0, 28, 1048, 608}, QString(), 0, false},
        {u"状态条1"_s, {0, 632, 994, 20}, QString(), 0, false}},
       {}, {}},
  };
}

QString caption_of(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  return QString();
}

TEST(WindowTemplates, BuildAsTheTemplatesSay) {
  for (const WindowCase& c : window_cases()) {
    SCOPED_TRACE(c.label);
    std::unique_ptr<QWidget> window(c.make());
    EXPECT_EQ(window->windowTitle(), c.title);
    const QSize client = c.outer - QSize(2 * tpl::frame_side, tpl::frame_side + tpl::frame_caption);
    EXPECT_EQ(window->size(), client);
    EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    if (c.white) {
      EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::white));
    }
    for (const Control& control : c.controls) {
      SCOPED_TRACE(to_local(control.name));
      auto* w = window->findChild<QWidget*>(control.name);
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->parentWidget(), window.get());
      EXPECT_EQ(w->geometry(), control.rect);
      if (!control.caption.isNull()) {
        EXPECT_EQ(caption_of(w), control.caption);
      }
      if (control.pixel_size != 0) {
        EXPECT_EQ(w->font().pixelSize(), control.pixel_size);
        EXPECT_EQ(w->font().bold(), control.bold);
      }
    }
    // Tab order: each focusable control hands on to the next.
    for (std::size_t i = 0; i + 1 < c.tab_order.size(); ++i) {
      QWidget* from = window->findChild<QWidget*>(c.tab_order[i]);
      QWidget* to = window->findChild<QWidget*>(c.tab_order[i + 1]);
      ASSERT_TRUE(from && to);
      QWidget* next = from->nextInFocusChain();
      while (next != to && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
      EXPECT_EQ(next, to) << to_local(c.tab_order[i]);
    }
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
      const bool masked =
          std::find(c.masked.begin(), c.masked.end(), edit->objectName()) != c.masked.end();
      EXPECT_EQ(edit->echoMode() == QLineEdit::Password, masked) << to_local(edit->objectName());
    }
  }
}

TEST(WindowTemplates, FontsOfTheLoginWindow) {
  LoginWindowTemplate window;
  // "微软雅黑" is substituted by the installed CJK face, so Chinese never renders as boxes.
  EXPECT_EQ(window.subtitle_label->font().family(), u"微软雅黑"_s);
  EXPECT_EQ(QFontInfo(window.subtitle_label->font()).family(), u"WenQuanYi Micro Hei"_s);
  EXPECT_EQ(QFontInfo(QApplication::font()).family(), u"WenQuanYi Micro Hei"_s);
  EXPECT_TRUE(QFontMetrics(window.subtitle_label->font()).inFont(QChar(u'账')));
  EXPECT_TRUE(QFontMetrics(QApplication::font()).inFont(QChar(u'账')));
  EXPECT_EQ(window.service_label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST(WindowTemplates, EscClosesAllButTheMainWindow) {
  struct Case {
    const char* label;
    std::function<QWidget*()> make;
    bool closes;
  };
  const Case cases[] = {
      {"start", [] { return new StartWindowTemplate; }, true},
      {"login", [] { return new LoginWindowTemplate; }, true},
      {"register", [] { return new RegisterWindowTemplate; }, true},
      {"change password", [] { return new ChangePasswordWindowTemplate; }, true},
      {"main", [] { return new MainWindowTemplate; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    QPointer<QWidget> window = c.make();
    window->show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window, &esc);
    test::wait_until([&] { return window.isNull(); }, c.closes ? 2000 : 200);
    EXPECT_EQ(window.isNull(), c.closes);
    delete window.data();
  }
}

TEST(WindowTemplates, MainWindowPagesAndPlacement) {
  MainWindowTemplate window;
  EXPECT_EQ(window.pos(), QPoint(50, 50));
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_NE(window.minimumSize(), window.maximumSize());  // not fixed: it can be maximised
  ASSERT_EQ(window.pages->count(), 31);
  for (int i = 0; i < 31; ++i) {
    EXPECT_EQ(window.pages->tabText(i), to_qstring(page_titles[static_cast<std::size_t>(i)]));
    EXPECT_EQ(window.pages->widget(i), window.page_areas[static_cast<std::size_t>(i)]);
  }
  const QFont tab_font = window.pages->tabBar()->font();
  EXPECT_EQ(tab_font.family(), u"SimSun"_s);
  EXPECT_EQ(tab_font.pixelSize(), 12);
  EXPECT_FALSE(tab_font.bold());
  EXPECT_EQ(window.status_panel1->text(), u"官网："_s);
  EXPECT_EQ(window.status_panel1->width(), 250);
  EXPECT_EQ(window.status_panel2->text(), u"客服QQ："_s);
  const QColor grey(96, 96, 96);
  EXPECT_EQ(window.top_bar->palette().color(QPalette::Window), grey);
  EXPECT_EQ(window.account_caption->palette().color(QPalette::WindowText), QColor(Qt::white));
}

TEST(WindowTemplates, CentredWindowsAreCentredOnTheScreen) {
  LoginWindowTemplate window;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QSize outer = LoginWindowTemplate::outer_size;
  EXPECT_EQ(window.pos(), QPoint(screen.x() + (screen.width() - outer.width()) / 2,
                                 screen.y() + (screen.height() - outer.height()) / 2));
}

}  // namespace
}  // namespace sd
