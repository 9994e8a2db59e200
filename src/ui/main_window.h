#pragma once
// MainWindow's handlers: the 31 information pages (each browser made and navigated when its page
// is first shown), the account bar, the status bar, the layout on every size change, the two
// buttons, and the login heartbeat, started as the last step of building the window.
#include <array>
#include <memory>

#include "src/ui/heartbeat.h"
#include "src/ui/page_selection.h"
#include "src/ui/program.h"
#include "src/ui/templates/main_window_template.h"

namespace sd {

class InfoBrowser;

class MainWindow : public MainWindowTemplate {
  Q_OBJECT
 public:
  struct Options {
    std::chrono::milliseconds heartbeat_interval = Heartbeat::default_interval;
  };

  explicit MainWindow(Program& program);
  MainWindow(Program& program, Options options);
  ~MainWindow() override;

  // The browser of a page, or nullptr while the page has never been shown.
  InfoBrowser* browser(int index) const;
  // The browser of the page the user selected last, or nullptr before the first selection.
  InfoBrowser* current_browser() const;

  void on_page_selected(int index);
  void refresh_current_page();
  void lay_out();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  InfoBrowser* make_browser(int index);
  void place_browser(InfoBrowser* browser, int index) const;
  void open_change_password_window();
  void on_heartbeat_refused();
  void set_connection_retrying(bool retrying);

  Program& program_;
  PageSelection selection_;
  std::array<InfoBrowser*, page_count> browsers_{};
  QSize browser_size_ = browser_rect.size();
  std::unique_ptr<Heartbeat> heartbeat_;
};

}  // namespace sd
