#include "src/ui/info_browser.h"

#include <unistd.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "src/ui/qt_text.h"

namespace sd {

using namespace Qt::Literals::StringLiterals;

namespace {

// The information pages come from one service: pages of one site share a renderer process,
// which keeps 31 pages within a few hundred megabytes. A crashed renderer takes only the pages
// of its site with it, and each of them offers a reload. Nothing is fetched in the background.
constexpr const char* background_switch = "--disable-background-networking";
constexpr const char* shared_renderer_switch = "--process-per-site";

void append_switch(QByteArray& flags, const QByteArray& flag) {
  const QList<QByteArray> present = flags.split(' ');
  if (present.contains(flag)) return;
  if (!flags.isEmpty()) flags += ' ';
  flags += flag;
}

}  // namespace

void prepare_web_engine(const WebEngineSwitches& switches) {
  static bool done = false;
  if (done) return;
  done = true;
  QByteArray flags;
  append_switch(flags, QByteArray(background_switch));
  if (switches.process_per_site) append_switch(flags, QByteArray(shared_renderer_switch));
  // The views composite in software: each of the 31 views keeps an image instead of a GL
  // context with its buffers, which costs a few hundred megabytes on software GL (Xvfb, remote
  // desktops). Information pages need no GPU.
  if (switches.software_compositing) {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  }
  // Chromium refuses to sandbox its renderers for the root user.
  if (geteuid() == 0) append_switch(flags, QByteArrayLiteral("--no-sandbox"));
  for (const QByteArray& flag : switches.extra) append_switch(flags, flag);
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

QWebEngineProfile* shared_web_profile() {
  static QWebEngineProfile* profile = nullptr;
  if (profile == nullptr) {
    prepare_web_engine();
    // Off the record: cookies and cache stay in memory and go with the program.
    profile = new QWebEngineProfile(QCoreApplication::instance());
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  }
  return profile;
}

InfoPage::InfoPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

QWebEnginePage* InfoPage::createWindow(WebWindowType) { return nullptr; }

InfoBrowser::InfoBrowser(QWidget* parent) : QWebEngineView(parent) {
  setContextMenuPolicy(Qt::NoContextMenu);
  auto* page = new InfoPage(shared_web_profile(), this);
  setPage(page);
  connect(page, &QWebEnginePage::renderProcessTerminated, this,
          &InfoBrowser::on_render_process_terminated);
  connect(page, &QWebEnginePage::loadStarted, this, [this] {
    if (!crashed_) return;
    crashed_ = false;
    if (notice_ != nullptr) notice_->hide();
    emit crashed_changed(false);
  });
}

InfoBrowser::~InfoBrowser() {
  // The page goes before the view, while the profile it uses still exists.
  QWebEnginePage* own = page();
  setPage(nullptr);
  delete own;
}

void InfoBrowser::navigate(std::string_view address) {
  address_ = QUrl(to_qstring(address));
  load(address_);
}

void InfoBrowser::refresh() {
  if (crashed_) {
    // A new renderer for what the page showed when it died.
    load(url().isEmpty() ? address_ : url());
    return;
  }
  reload();
}

void InfoBrowser::shown() {
  if (crashed_) refresh();
}

void InfoBrowser::resizeEvent(QResizeEvent* event) {
  QWebEngineView::resizeEvent(event);
  if (notice_ != nullptr) notice_->setGeometry(rect());
}

void InfoBrowser::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

QWebEngineView* InfoBrowser::createWindow(QWebEnginePage::WebWindowType) { return nullptr; }

void InfoBrowser::on_render_process_terminated(
    QWebEnginePage::RenderProcessTerminationStatus status) {
  if (status == QWebEnginePage::NormalTerminationStatus) return;
  crashed_ = true;
  show_crash_notice();
  emit crashed_changed(true);
}

void InfoBrowser::show_crash_notice() {
  if (notice_ == nullptr) {
    notice_ = new QWidget(this);
    notice_->setObjectName(u"页面重新加载"_s);
    notice_->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(notice_);
    auto* text = new QLabel(u"页面已停止运行。"_s, notice_);
    auto* button = new QPushButton(u"重新加载"_s, notice_);
    button->setObjectName(u"按钮_重新加载"_s);
    layout->addStretch();
    layout->addWidget(text);
    layout->addWidget(button);
    layout->addStretch();
    connect(button, &QPushButton::clicked, this, &InfoBrowser::refresh);
  }
  notice_->setGeometry(rect());
  notice_->show();
  notice_->raise();
}

}  // namespace sd
