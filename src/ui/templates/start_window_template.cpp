#include "src/ui/templates/start_window_template.h"

#include <QKeyEvent>

#include "src/ui/templates/template_support.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

StartWindowTemplate::StartWindowTemplate(QWidget* parent) : QWidget(parent) {
  setObjectName(u"StartWindow"_s);
  tpl::set_up_window(this, u"连接服务器"_s, outer_size, false, QColor());

  tpl::LabelStyle picture;
  picture.alignment = Qt::AlignCenter;
  picture.background = Qt::white;
  picture_box = tpl::make_label(this, u"图片框1"_s, QString(), {0, 0, 400, 216}, picture);

  tpl::LabelStyle connecting;
  connecting.alignment = Qt::AlignCenter;
  connecting.background = Qt::white;
  connecting.font = tpl::font_of(QString(), -20, 700);
  connecting.custom_font = true;
  label = tpl::make_label(this, u"标签1"_s, u"正在连接服务器中，请稍候..."_s, {0, 216, 400, 48},
                          connecting);

  tpl::centre_on_screen(this, outer_size);
}

void StartWindowTemplate::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace sd
