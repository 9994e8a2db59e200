#pragma once
// What the five window templates share: the frame figures, fonts, colours and control makers.
//
// Template sizes are outer sizes, frame and caption included, as on the original platform's
// standard fixed-border window at 96 dpi: a fixed frame of 3 pixels on each side and a caption
// of 23 pixels. The window system draws its own frame here, so each window gets the client size
// those figures leave, and control positions are relative to the client area.
#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

namespace sd::tpl {

inline constexpr int frame_side = 3;      // left, right and bottom frame
inline constexpr int frame_caption = 23;  // caption bar above the client area

// The client size an outer size leaves.
QSize client_size(QSize outer);

// Font substitutions so that the Windows faces render Chinese with the installed CJK face,
// and the default GUI font (SimSun, 12 pixels) as the application font. Call once after the
// QApplication exists.
void apply_program_fonts();

// face "" = the default GUI face. height < 0: character height in pixels (as a LOGFONT height).
QFont font_of(const QString& face, int height, int weight);

// Window properties shared by the templates: title, fixed client size, minimise and close
// buttons (and maximise where asked), background, deleted on close.
void set_up_window(QWidget* window, const QString& title, QSize outer, bool maximise_button,
                   const QColor& background);
// Centres the outer rectangle on the primary screen.
void centre_on_screen(QWidget* window, QSize outer);

// A label that raises pressed() when the left mouse button goes down on it.
class PressableLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 signals:
  void pressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

struct LabelStyle {
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
  QColor text = Qt::black;
  QColor background;  // invalid: the parent's background shows through
  QFont font;
  bool custom_font = false;
};

PressableLabel* make_label(QWidget* parent, const QString& name, const QString& caption,
                           QRect rect, const LabelStyle& style);
QLineEdit* make_edit(QWidget* parent, const QString& name, QRect rect, bool password);
QPushButton* make_button(QWidget* parent, const QString& name, const QString& caption, QRect rect);
QCheckBox* make_check_box(QWidget* parent, const QString& name, const QString& caption, QRect rect,
                          const QColor& background);

// Label styles used by the 354 × 358 windows.
LabelStyle heading_style();  // black on white, centred, 微软雅黑 −21 bold
LabelStyle caption_style();  // black on white, left, vertically centred, 微软雅黑 −21 normal

}  // namespace sd::tpl
