#pragma once
// The embedded browser of an information page. All browsers share one profile (kept in memory
// only: nothing but config.ini is written to disk). A page can open no new window and shows no
// context menu. When its renderer process dies, the page offers a reload instead of a blank tab,
// and the next time the page is shown it reloads by itself.
#include <QByteArrayList>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <string_view>

class QWebEngineProfile;
class QWidget;

namespace sd {

// Chromium switches the program's browsers run with, set as QTWEBENGINE_CHROMIUM_FLAGS (from
// scratch: the environment the program was started with is not read) before the web engine
// starts. Only the first call counts; the entry makes it, and shared_web_profile makes it with
// the program's choice if nothing did before the first browser.
struct WebEngineSwitches {
  // Pages of one site share one renderer process (the program's choice); false gives
  // Chromium's default of a renderer per page, which benchmarks compare against.
  bool process_per_site = true;
  // The browser views draw through Qt Quick's software renderer (the program's choice).
  bool software_compositing = true;
  // Further switches, for benchmarks that compare them.
  QByteArrayList extra;
};
void prepare_web_engine(const WebEngineSwitches& switches = {});

// The one profile of all information browsers, created on first use.
QWebEngineProfile* shared_web_profile();

// A page that opens no new window: links with a new-window target and window.open do nothing.
class InfoPage : public QWebEnginePage {
  Q_OBJECT
 public:
  InfoPage(QWebEngineProfile* profile, QObject* parent);

 protected:
  QWebEnginePage* createWindow(WebWindowType type) override;
};

class InfoBrowser : public QWebEngineView {
  Q_OBJECT
 public:
  explicit InfoBrowser(QWidget* parent = nullptr);
  ~InfoBrowser() override;

  // Navigates to a local-text address (the empty address shows an empty page).
  void navigate(std::string_view address);
  // Reloads what the browser shows; after a crash, loads its address again.
  void refresh();
  // Called when the page becomes the visible one: a crashed page reloads.
  void shown();
  bool crashed() const { return crashed_; }

 signals:
  void crashed_changed(bool crashed);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  QWebEngineView* createWindow(QWebEnginePage::WebWindowType type) override;

 private:
  void on_render_process_terminated(QWebEnginePage::RenderProcessTerminationStatus status);
  void show_crash_notice();

  QUrl address_;
  bool crashed_ = false;
  QWidget* notice_ = nullptr;
};

}  // namespace sd
