#include "src/ui/templates/change_password_window_template.h"

#include "src/ui/templates/template_support.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

ChangePasswordWindowTemplate::ChangePasswordWindowTemplate(QWidget* owner) : QDialog(owner) {
  setObjectName(u"ChangePasswordWindow"_s);
  tpl::set_up_window(this, u"修改密码"_s, outer_size, false, Qt::white);

  heading = tpl::make_label(this, u"标签1"_s, u"修改用户密码"_s, {38, 24, 272, 48},
                            tpl::heading_style());
  old_caption =
      tpl::make_label(this, u"标签2"_s, u"原密码："_s, {42, 96, 75, 48}, tpl::caption_style());
  old_edit = tpl::make_edit(this, u"编辑框_原密码"_s, {127, 104, 200, 36}, false);
  new_caption =
      tpl::make_label(this, u"标签3"_s, u"新密码："_s, {42, 148, 75, 48}, tpl::caption_style());
  new_edit = tpl::make_edit(this, u"编辑框_新密码"_s, {127, 156, 200, 36}, false);
  confirm_caption =
      tpl::make_label(this, u"标签4"_s, u"确认密码："_s, {21, 197, 100, 48}, tpl::caption_style());
  confirm_edit = tpl::make_edit(this, u"编辑框_确认密码"_s, {127, 205, 200, 36}, false);
  ok_button = tpl::make_button(this, u"按钮_确定"_s, u"确定"_s, {33, 268, 129, 36});
  cancel_button = tpl::make_button(this, u"按钮_取消"_s, u"取消"_s, {186, 268, 129, 36});

  setTabOrder(old_edit, new_edit);
  setTabOrder(new_edit, confirm_edit);
  setTabOrder(confirm_edit, ok_button);
  setTabOrder(ok_button, cancel_button);

  tpl::centre_on_screen(this, outer_size);
}

}  // namespace sd
