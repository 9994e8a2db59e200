#include "src/ui/templates/template_support.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>

#include "src/ui/program.h"

using namespace Qt::Literals::StringLiterals;

namespace sd::tpl {

QSize client_size(QSize outer) {
  return {outer.width() - 2 * frame_side, outer.height() - frame_caption - frame_side};
}

void apply_program_fonts() {
  const QString cjk = u"WenQuanYi Micro Hei"_s;
  for (const QString& face : {u"微软雅黑"_s, u"Microsoft YaHei"_s, u"SimSun"_s, u"宋体"_s,
                              u"新宋体"_s, u"NSimSun"_s}) {
    QFont::insertSubstitution(face, cjk);
  }
  QApplication::setFont(font_of(QString(), -12, 400));
}

QFont font_of(const QString& face, int height, int weight) {
  QFont font(face.isEmpty() ? u"SimSun"_s : face);
  if (height < 0) {
    font.setPixelSize(-height);
  } else if (height > 0) {
    font.setPixelSize(height);  // a cell height; close enough for the template's figures
  }
  font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
  return font;
}

void set_up_window(QWidget* window, const QString& title, QSize outer, bool maximise_button,
                   const QColor& background) {
  Qt::WindowFlags flags = (window->windowType() == Qt::Dialog ? Qt::Dialog : Qt::Window) |
                          Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint;
  if (maximise_button) flags |= Qt::WindowMaximizeButtonHint;
  window->setWindowFlags(flags);
  window->setAttribute(Qt::WA_DeleteOnClose);
  track_window(window);
  window->setWindowTitle(title);
  const QSize client = client_size(outer);
  if (maximise_button) {
    window->resize(client);  // a fixed size would take the maximise button away
  } else {
    window->setFixedSize(client);
  }
  if (background.isValid()) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, background);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
  }
}

void centre_on_screen(QWidget* window, QSize outer) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  window->move(area.x() + (area.width() - outer.width()) / 2,
               area.y() + (area.height() - outer.height()) / 2);
}

void PressableLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) emit pressed();
}

PressableLabel* make_label(QWidget* parent, const QString& name, const QString& caption,
                           QRect rect, const LabelStyle& style) {
  auto* label = new PressableLabel(caption, parent);
  label->setObjectName(name);
  label->setGeometry(rect);
  label->setAlignment(style.alignment);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, style.text);
  if (style.background.isValid()) {
    palette.setColor(QPalette::Window, style.background);
    label->setAutoFillBackground(true);
  }
  label->setPalette(palette);
  if (style.custom_font) label->setFont(style.font);
  return label;
}

QLineEdit* make_edit(QWidget* parent, const QString& name, QRect rect, bool password) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(rect);
  if (password) {
    edit->setEchoMode(QLineEdit::Password);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    edit->setPalette(palette);
  }
  return edit;
}

QPushButton* make_button(QWidget* parent, const QString& name, const QString& caption, QRect rect) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(rect);
  button->setAutoDefault(false);
  return button;
}

QCheckBox* make_check_box(QWidget* parent, const QString& name, const QString& caption, QRect rect,
                          const QColor& background) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  box->setGeometry(rect);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Window, background);
  palette.setColor(QPalette::Button, background);
  box->setPalette(palette);
  box->setAutoFillBackground(true);
  return box;
}

LabelStyle heading_style() {
  LabelStyle style;
  style.alignment = Qt::AlignCenter;
  style.background = Qt::white;
  style.font = font_of(u"微软雅黑"_s, -21, 700);
  style.custom_font = true;
  return style;
}

LabelStyle caption_style() {
  LabelStyle style;
  style.background = Qt::white;
  style.font = font_of(u"微软雅黑"_s, -21, 400);
  style.custom_font = true;
  return style;
}

}  // namespace sd::tpl
