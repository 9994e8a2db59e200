#include "src/ui/main_window.h"

#include <signal.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include "src/app/page_titles.h"
#include "src/protocol/operations.h"
#include "src/ui/dialog_recorder.h"
#include "src/ui/info_browser.h"
#include "src/ui/qt_text.h"
#include "tests/ui_main/page_server.h"
#include "tests/qt_support/qt_environment.h"
#include "tests/ui_main/reference_server.h"
#include "tests/ui_main/switchable_proxy.h"
#include "tests/ui_main/table_fixture.h"

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace sd {
namespace {

using test::PageServer;
using test::wait_until;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppState& s = program_.state;
    s.app_title = "股道智投";
    s.client_version = "1.00";
    s.website_address = "http://127.0.0.1";
    s.service_qq = "800012345";
    s.user_name = "张三";
    s.app_id = "888";
    s.account_address = "http://127.0.0.1:9/api/user";  // no heartbeat goes out in these tests
    s.set_login_token("T0");
    set_pages([this](int i) { return pages_.url("/p" + std::to_string(i)); });
    program_.exchange.handshake_attempts = 1;
    program_.exchange.data_attempts = 1;
    program_.exchange.timeout_seconds = 10;
    set_exit_hooks({[this](int code) { end_codes_.push_back(code); }, [] {}});
  }
  void TearDown() override {
    window_.reset();
    set_exit_hooks({});
    test::spin_for(20);
  }

  template <class F>
  void set_pages(F address_of) {
    std::string json = "[{";
    for (int i = 0; i < page_count; ++i) {
      if (i > 0) json += ",";
      json += "\"" + std::string(page_titles[static_cast<std::size_t>(i)]) + "\":\"" +
              address_of(i) + "\"";
    }
    json += "}]";
    program_.state.tab_address_json = "\"" + test::scramble_table(json) + "\"";
  }

  MainWindow& open(std::chrono::milliseconds heartbeat = 10min) {
    window_ = std::make_unique<MainWindow>(program_, MainWindow::Options{heartbeat});
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    window_->show();
    return *window_;
  }

  void double_click_tab(int index) {
    QTabBar* bar = window_->pages->tabBar();
    QTest::mouseDClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  }

  PageServer pages_;
  Program program_;
  DialogRecorder dialogs_;
  std::vector<int> end_codes_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, OpensWithTheAccountAndLoadsOnlyPageZero) {
  MainWindow& w = open();
  ASSERT_TRUE(wait_until([&] { return pages_.hits("/p0") == 1; }));
  EXPECT_EQ(w.windowTitle(), u"股道智投 v1.00"_s);
  EXPECT_EQ(w.status_panel1->text(), u"官网：http://127.0.0.1"_s);
  EXPECT_EQ(w.status_panel2->text(), u"客服QQ：800012345"_s);
  EXPECT_EQ(w.account_label->text(), u"张三"_s);
  EXPECT_EQ(program_.state.page_addresses[30], pages_.url("/p30"));
  EXPECT_EQ(w.browser(0)->objectName(), u"互联网浏览器_微信精读"_s);
  for (int i = 1; i < page_count; ++i) EXPECT_EQ(w.browser(i), nullptr) << i;
}

TEST_F(MainWindowTest, PagesLoadOnceAndDoubleClickReloadsTheCurrentPage) {
  MainWindow& w = open();
  ASSERT_TRUE(wait_until([&] { return pages_.hits("/p0") == 1; }));

  double_click_tab(0);  // nothing selected yet: nothing is refreshed
  w.pages->setCurrentIndex(3);
  ASSERT_TRUE(wait_until([&] { return pages_.hits("/p3") == 1; }));
  w.pages->setCurrentIndex(7);
  ASSERT_TRUE(wait_until([&] { return pages_.hits("/p7") == 1; }));
  w.pages->setCurrentIndex(3);
  EXPECT_EQ(w.current_browser(), w.browser(3));

  // The refresh is the only load since: a third selection that navigated would show here.
  double_click_tab(7);
  ASSERT_TRUE(wait_until([&] { return pages_.hits("/p3") == 2; }));
  w.pages->setCurrentIndex(0);
  double_click_tab(0);
  ASSERT_TRUE(wait_until([&] { return pages_.hits("/p0") == 2; }));
  test::spin_for(300);
  EXPECT_EQ(pages_.hits("/p0"), 2);
  EXPECT_EQ(pages_.hits("/p3"), 2);
  EXPECT_EQ(pages_.hits("/p7"), 1);
}

TEST_F(MainWindowTest, ADamagedTableStillOpensTheWindow) {
  program_.state.tab_address_json = "\"" + test::scramble_table("[{}]").substr(0, 6) + "\"";
  MainWindow& w = open();
  for (const std::string& address : program_.state.page_addresses) EXPECT_EQ(address, "");
  EXPECT_TRUE(w.isVisible());
  w.pages->setCurrentIndex(12);
  ASSERT_NE(w.browser(12), nullptr);
}

TEST_F(MainWindowTest, LayoutFollowsTheWindowSize) {
  MainWindow& w = open();
  w.pages->setCurrentIndex(4);
  ASSERT_TRUE(wait_until([&] { return w.browser(4) != nullptr; }));
  const int quit_x = w.quit_button->x(), change_x = w.change_password_button->x();
  const QSize browser = w.browser(0)->size();
  const int pages_height = w.pages->height();
  EXPECT_EQ(browser.width(), w.width());  // outer width − 6
  EXPECT_EQ(browser.height(), pages_height - 46);

  w.resize(w.width() + 100, w.height() + 50);
  ASSERT_TRUE(wait_until([&] { return w.quit_button->x() != quit_x; }, 5000));
  EXPECT_EQ(w.quit_button->x(), quit_x + 100);
  EXPECT_EQ(w.change_password_button->x(), change_x + 100);
  EXPECT_EQ(w.top_bar->width(), w.width() + 6);
  EXPECT_EQ(w.pages->height(), pages_height + 50);
  for (int i : {0, 4}) EXPECT_EQ(w.browser(i)->size(), browser + QSize(100, 50)) << i;
  w.pages->setCurrentIndex(9);  // a browser made later gets the same size
  EXPECT_EQ(w.browser(9)->size(), browser + QSize(100, 50));
  EXPECT_EQ(w.status_bar->geometry().bottom(), w.height() - 1 - 7);
}

TEST_F(MainWindowTest, NoNewWindowAndNoContextMenu) {
  set_pages([this](int) { return pages_.url("/links"); });
  MainWindow& w = open();
  InfoBrowser* browser = w.browser(0);
  ASSERT_TRUE(wait_until([&] { return pages_.hits("/links") == 1; }));
  bool loaded = false;
  QObject::connect(browser, &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
  ASSERT_TRUE(wait_until([&] { return loaded || browser->url().isValid(); }));
  test::spin_for(300);
  const int windows_before = QApplication::topLevelWidgets().size();

  // window.open opens nothing.
  bool ran = false;
  browser->page()->runJavaScript(u"window.open('/popup'); 1"_s, [&](const QVariant&) { ran = true; });
  ASSERT_TRUE(wait_until([&] { return ran; }));

  // A click on the link with a new-window target reaches the page and opens nothing.
  QWidget* surface = browser->focusProxy();
  ASSERT_NE(surface, nullptr);
  QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(50, 50));
  ASSERT_TRUE(wait_until([&] { return browser->title() == u"clicked"_s; }));

  // A right click opens no context menu (where a plain view opens one).
  QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(60, 60));
  test::spin_for(1000);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(pages_.hits("/popup"), 0);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windows_before);
  {
    QWebEngineView plain;
    plain.resize(400, 300);
    plain.show();
    bool plain_loaded = false;
    QObject::connect(&plain, &QWebEngineView::loadFinished, [&](bool ok) { plain_loaded = ok; });
    plain.load(QUrl(QString::fromStdString(pages_.url("/p1"))));
    ASSERT_TRUE(wait_until([&] { return plain_loaded; }));
    test::spin_for(300);
    QTest::mouseClick(plain.focusProxy(), Qt::RightButton, {}, QPoint(60, 60));
    EXPECT_TRUE(wait_until([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
    if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
  }
}

TEST_F(MainWindowTest, CrashedPageOffersAReload) {
  MainWindow& w = open();
  InfoBrowser* browser = w.browser(0);
  ASSERT_TRUE(wait_until([&] { return pages_.hits("/p0") == 1 && browser->page()->renderProcessPid() > 0; }));
  test::spin_for(200);
  ASSERT_EQ(::kill(static_cast<pid_t>(browser->page()->renderProcessPid()), SIGKILL), 0);
  ASSERT_TRUE(wait_until([&] { return browser->crashed(); }));

  auto* reload = browser->findChild<QPushButton*>(u"按钮_重新加载"_s);
  ASSERT_NE(reload, nullptr);
  EXPECT_TRUE(reload->isVisible());
  QTest::mouseClick(reload, Qt::LeftButton);
  ASSERT_TRUE(wait_until([&] { return pages_.hits("/p0") == 2; }));
  EXPECT_FALSE(browser->crashed());
  EXPECT_FALSE(reload->isVisible());
}

// A logged-in state against the reference server.
void log_in(const test::ReferenceServer& server, AppState& state) {
  state.account_address = server.account_url();
  std::string user, token, level, id, code, message;
  ASSERT_EQ(login(state.account_address, "hb", "pw-1", state.app_id, user, token, level, id, code,
                  message),
            1);
  state.set_login_token(token);
}

TEST_F(MainWindowTest, RefusedHeartbeatShowsTheErrorAndEndsTheProgram) {
  test::ReferenceServer server([](ServerOptions& o) { o.fault_refuse_heartbeats_after = 0; });
  ASSERT_TRUE(server.started()) << server.error();
  log_in(server, program_.state);
  open(50ms);
  ASSERT_TRUE(wait_until([&] { return !end_codes_.empty(); }));
  EXPECT_EQ(end_codes_, std::vector<int>{0});
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].title, u"错误"_s);
  EXPECT_FALSE(dialogs_.boxes[0].had_owner);
  EXPECT_TRUE(dialogs_.boxes[0].text.startsWith(u"错误："_s));
  EXPECT_EQ(program_.state.login_token(), "error");
}

TEST_F(MainWindowTest, StatusBarTellsOfRetryingUntilABeatSucceeds) {
  test::ReferenceServer server;
  ASSERT_TRUE(server.started()) << server.error();
  test::SwitchableProxy proxy(server.port());
  ASSERT_TRUE(proxy.up());
  log_in(server, program_.state);
  program_.state.account_address =
      "http://127.0.0.1:" + std::to_string(proxy.port()) + "/api/user";
  const std::string first = program_.state.login_token();
  MainWindow& w = open(50ms);
  ASSERT_TRUE(wait_until([&] { return program_.state.login_token() != first; }));

  proxy.down();
  ASSERT_TRUE(wait_until([&] { return !w.status_bar->currentMessage().isEmpty(); }));
  const std::string kept = program_.state.login_token();
  ASSERT_TRUE(proxy.up());
  ASSERT_TRUE(wait_until([&] { return w.status_bar->currentMessage().isEmpty(); }));
  EXPECT_NE(program_.state.login_token(), kept);
  EXPECT_TRUE(end_codes_.empty());
  EXPECT_TRUE(dialogs_.boxes.empty());
}

}  // namespace
}  // namespace sd
