#include "src/ui/main_window.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include "src/app/page_titles.h"
#include "src/ui/change_password_window.h"
#include "src/ui/dialogs.h"
#include "src/ui/info_browser.h"
#include "src/ui/qt_text.h"
#include "src/ui/tab_table.h"
#include "src/ui/templates/template_support.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {

namespace {

// The status bar keeps its distance from the bottom-left corner of the client area that the
// template gives it, and grows with the window.
const QRect status_bar_rect{0, 632, 994, 20};

std::size_t at(int index) { return static_cast<std::size_t>(index); }

}  // namespace

MainWindow::MainWindow(Program& program) : MainWindow(program, Options{}) {}

MainWindow::MainWindow(Program& program, Options options) : program_(program) {
  AppState& state = program_.state;

  // Page addresses from the table init sent.
  state.page_addresses = read_page_addresses(state.tab_address_json);

  // Only page 0 is loaded now; the others load when first shown.
  make_browser(0)->navigate(state.page_addresses[0]);

  setWindowTitle(to_qstring(state.app_title + " v" + state.client_version));
  status_panel1->setText(to_qstring("官网：" + state.website_address));
  status_panel2->setText(to_qstring("客服QQ：" + state.service_qq));
  account_label->setText(to_qstring(state.user_name));

  connect(pages, &QTabWidget::currentChanged, this, &MainWindow::on_page_selected);
  connect(pages, &QTabWidget::tabBarDoubleClicked, this, &MainWindow::refresh_current_page);
  connect(quit_button, &QPushButton::clicked, this, [] { terminate_self(); });
  connect(change_password_button, &QPushButton::clicked, this,
          &MainWindow::open_change_password_window);

  // The heartbeat's reports arrive on its thread; the window acts on them on its own.
  HeartbeatCallbacks callbacks;
  callbacks.refused = [this](const std::string&) {
    QMetaObject::invokeMethod(this, &MainWindow::on_heartbeat_refused, Qt::QueuedConnection);
  };
  callbacks.retrying = [this] {
    QMetaObject::invokeMethod(this, [this] { set_connection_retrying(true); },
                              Qt::QueuedConnection);
  };
  callbacks.recovered = [this] {
    QMetaObject::invokeMethod(this, [this] { set_connection_retrying(false); },
                              Qt::QueuedConnection);
  };
  heartbeat_ = std::make_unique<Heartbeat>(state, std::move(callbacks),
                                           options.heartbeat_interval, program_.exchange);
  heartbeat_->start();
}

MainWindow::~MainWindow() {
  // No report of the heartbeat reaches the window once this returns.
  heartbeat_->stop();
}

InfoBrowser* MainWindow::browser(int index) const {
  return index >= 0 && index < page_count ? browsers_[at(index)] : nullptr;
}

InfoBrowser* MainWindow::current_browser() const { return browser(selection_.current()); }

InfoBrowser* MainWindow::make_browser(int index) {
  InfoBrowser*& slot = browsers_[at(index)];
  if (slot == nullptr) {
    slot = new InfoBrowser(page_areas[at(index)]);
    const QString title = to_qstring(page_titles[at(index)]);
    slot->setObjectName(u"互联网浏览器_"_s + title);
    slot->setProperty("tag", title);
    place_browser(slot, index);
    slot->show();
  }
  return slot;
}

void MainWindow::on_page_selected(int index) {
  const int page = selection_.select(to_local(pages->tabText(index)));
  const int current = selection_.current();
  if (page >= 0) make_browser(page)->navigate(program_.state.page_addresses[at(page)]);
  if (current >= 0 && page < 0) {
    // A page shown before keeps what it shows, unless its renderer died meanwhile.
    if (InfoBrowser* shown = browser(current)) shown->shown();
  }
}

void MainWindow::refresh_current_page() {
  // Before the first selection there is no current browser, and nothing is refreshed.
  if (InfoBrowser* current = current_browser()) current->refresh();
}

void MainWindow::lay_out() {
  // W and H are the outer size, frame and caption included; positions are in the client area.
  const int w = width() + 2 * tpl::frame_side;
  const int h = height() + tpl::frame_caption + tpl::frame_side;
  const QSize template_client = tpl::client_size(outer_size);

  top_bar->resize(w, top_bar->height());
  pages->resize(w, pages->height());
  quit_button->move(w - 90, quit_button->y());
  change_password_button->move(w - 270, change_password_button->y());
  account_caption->move(10, account_caption->y());
  account_label->move(account_caption->x() + 70, account_label->y());

  status_bar->setGeometry(status_bar_rect.x(),
                          status_bar_rect.y() + height() - template_client.height(),
                          status_bar_rect.width() + width() - template_client.width(),
                          status_bar_rect.height());
  pages->resize(pages->width(), h - pages->y() - status_bar->height() - 30);

  browser_size_ = QSize(w - 6, pages->height() - 46);
  for (int i = 0; i < page_count; ++i) {
    if (browsers_[at(i)] != nullptr) place_browser(browsers_[at(i)], i);
  }
}

void MainWindow::place_browser(InfoBrowser* browser, int index) const {
  // The browser stands at the template's place within the page control, whatever room the
  // tab row takes above the page.
  const QWidget* area = page_areas[at(index)];
  QPoint origin = browser_rect.topLeft();
  if (pages->isVisible()) origin = area->mapFrom(pages, origin);
  else origin.ry() -= pages->tabBar()->sizeHint().height();
  browser->setGeometry(QRect(origin, browser_size_));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  MainWindowTemplate::resizeEvent(event);
  lay_out();
}

void MainWindow::showEvent(QShowEvent* event) {
  MainWindowTemplate::showEvent(event);
  lay_out();
}

void MainWindow::open_change_password_window() {
  auto* dialog = new ChangePasswordWindow(program_, this);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
}

void MainWindow::on_heartbeat_refused() {
  // The login is lost: the server's error, then the end of the program.
  show_server_error(nullptr, program_.state);
  end_program(0);
}

void MainWindow::set_connection_retrying(bool retrying) {
  if (retrying) {
    status_bar->showMessage(u"与服务器的连接中断，正在重新连接……"_s);
  } else {
    status_bar->clearMessage();
  }
}

}  // namespace sd
