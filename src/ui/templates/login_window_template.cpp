#include "src/ui/templates/login_window_template.h"

#include <QKeyEvent>

#include "src/ui/templates/template_support.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

LoginWindowTemplate::LoginWindowTemplate(QWidget* parent) : QWidget(parent) {
  setObjectName(u"LoginWindow"_s);
  tpl::set_up_window(this, u"用户登录"_s, outer_size, false, Qt::white);

  subtitle_label = tpl::make_label(this, u"标签1"_s, u"副标题"_s, {38, 24, 272, 48},
                                   tpl::heading_style());
  account_caption = tpl::make_label(this, u"标签2"_s, u"账号："_s, {38, 96, 64, 48},
                                    tpl::caption_style());
  account_edit = tpl::make_edit(this, u"编辑框_账号"_s, {110, 104, 200, 36}, false);
  password_caption = tpl::make_label(this, u"标签3"_s, u"密码："_s, {38, 148, 64, 48},
                                     tpl::caption_style());
  password_edit = tpl::make_edit(this, u"编辑框_密码"_s, {110, 156, 200, 36}, true);

  tpl::LabelStyle red;
  red.text = QColor(255, 0, 0);
  red.background = Qt::white;
  service_label = tpl::make_label(this, u"标签4"_s, u"客服QQ："_s, {40, 208, 144, 24}, red);
  remember_check =
      tpl::make_check_box(this, u"选择框_记住密码"_s, u"记住密码"_s, {224, 208, 80, 24}, Qt::white);
  login_button = tpl::make_button(this, u"按钮_登录"_s, u"登录"_s, {40, 256, 120, 36});
  register_button = tpl::make_button(this, u"按钮_注册"_s, u"免费注册"_s, {187, 256, 120, 36});

  setTabOrder(account_edit, password_edit);
  setTabOrder(password_edit, remember_check);
  setTabOrder(remember_check, login_button);
  setTabOrder(login_button, register_button);

  tpl::centre_on_screen(this, outer_size);
}

void LoginWindowTemplate::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace sd
