#include "src/ui/templates/register_window_template.h"

#include "src/ui/templates/template_support.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

RegisterWindowTemplate::RegisterWindowTemplate(QWidget* owner) : QDialog(owner) {
  setObjectName(u"RegisterWindow"_s);
  tpl::set_up_window(this, u"注册"_s, outer_size, false, Qt::white);

  heading = tpl::make_label(this, u"标签1"_s, u"注册新用户"_s, {38, 24, 272, 48},
                            tpl::heading_style());
  account_caption =
      tpl::make_label(this, u"标签2"_s, u"账号："_s, {38, 96, 64, 48}, tpl::caption_style());
  account_edit = tpl::make_edit(this, u"编辑框_账号"_s, {110, 104, 200, 36}, false);
  password_caption =
      tpl::make_label(this, u"标签3"_s, u"密码："_s, {38, 148, 64, 48}, tpl::caption_style());
  password_edit = tpl::make_edit(this, u"编辑框_密码"_s, {110, 156, 200, 36}, false);
  qq_caption = tpl::make_label(this, u"标签4"_s, u"QQ："_s, {38, 197, 64, 48}, tpl::caption_style());
  qq_edit = tpl::make_edit(this, u"编辑框_QQ"_s, {110, 205, 200, 36}, false);
  submit_button = tpl::make_button(this, u"按钮_注册"_s, u"注册"_s, {143, 268, 137, 36});

  setTabOrder(account_edit, password_edit);
  setTabOrder(password_edit, qq_edit);
  setTabOrder(qq_edit, submit_button);

  tpl::centre_on_screen(this, outer_size);
}

}  // namespace sd
