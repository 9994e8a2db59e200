#include "src/ui/templates/main_window_template.h"

#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include "src/app/page_titles.h"
#include "src/ui/qt_text.h"
#include "src/ui/templates/template_support.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

MainWindowTemplate::MainWindowTemplate(QWidget* parent) : QWidget(parent) {
  setObjectName(u"MainWindow"_s);
  tpl::set_up_window(this, u"软件标题"_s, outer_size, true, QColor());

  const QColor grey(96, 96, 96);
  tpl::LabelStyle bar;
  bar.alignment = Qt::AlignCenter;
  bar.text = Qt::white;
  bar.background = grey;
  top_bar = tpl::make_label(this, u"标签_下期期号"_s, QString(), {0, 0, 1048, 26}, bar);

  tpl::LabelStyle on_bar = bar;
  on_bar.alignment = Qt::AlignLeft | Qt::AlignVCenter;
  account_caption = tpl::make_label(this, u"标签10"_s, u"会员账号："_s, {10, 4, 60, 18}, on_bar);
  account_label = tpl::make_label(this, u"标签_会员账号"_s, QString(), {80, 4, 100, 18}, on_bar);
  change_password_button =
      tpl::make_button(this, u"按钮_修改密码"_s, u"修改密码"_s, {754, 4, 80, 18});
  quit_button = tpl::make_button(this, u"按钮_退出软件"_s, u"退出软件"_s, {936, 4, 80, 18});

  pages = new QTabWidget(this);
  pages->setObjectName(u"高级选择夹1"_s);
  pages->setGeometry(0, 28, 1048, 608);
  pages->tabBar()->setFont(tpl::font_of(u"SimSun"_s, -12, 400));
  for (int i = 0; i < page_count; ++i) {
    auto* page = new QWidget(pages);
    page->setObjectName(to_qstring(page_titles[static_cast<std::size_t>(i)]));
    page_areas[static_cast<std::size_t>(i)] = page;
    pages->addTab(page, to_qstring(page_titles[static_cast<std::size_t>(i)]));
  }

  status_bar = new QStatusBar(this);
  status_bar->setObjectName(u"状态条1"_s);
  status_bar->setSizeGripEnabled(false);
  status_bar->setGeometry(0, 632, 994, 20);
  status_panel1 = new QLabel(u"官网："_s, status_bar);
  status_panel1->setFixedWidth(250);
  status_panel2 = new QLabel(u"客服QQ："_s, status_bar);
  status_bar->addWidget(status_panel1);
  status_bar->addWidget(status_panel2, 1);

  // Every control has tab order 0: creation order stands.
  move(outer_position);
}

}  // namespace sd
