// Start-up: connectivity, init, the version check and the hand-over to the login window.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPointer>

#include <fstream>
#include <iostream>
#include <sstream>

#include "src/app/start_up.h"
#include "src/ui/qt_text.h"
#include "src/ui/server_call.h"
#include "src/ui/start_window.h"
#include "tests/qt_support/qt_environment.h"
#include "tests/ui_shell/shell_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace sd::test {
namespace {

class StartUpTest : public ShellTest {};

TEST_F(StartUpTest, OfflineShowsTheNetworkErrorAndEndsWithoutContactingTheServer) {
  start_server();
  program_.deployment.probe_address = "http://127.0.0.1:1/health";  // nothing listens there
  new StartWindow(program_);
  ASSERT_TRUE(wait_until([&] { return !end_codes_.empty(); }));
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].title, u"错误"_s);
  EXPECT_EQ(dialogs_.boxes[0].text, u"错误：本机联网异常，请检查!"_s);
  EXPECT_EQ(end_codes_, std::vector<int>{0});
  spin_for(100);
  EXPECT_EQ(program_.state.client_version, "");  // the start-up routine never ran
  EXPECT_EQ(window_named(u"LoginWindow"_s), nullptr);
}

TEST_F(StartUpTest, FailedInitShowsTheErrorAndEnds) {
  // A server that cannot open our requests (another request key) refuses them; a port where
  // nothing listens makes the exchange give up. Either way: the error box, then the end.
  std::ifstream in(options_.deploy_path);
  std::ostringstream other_key;
  for (std::string line; std::getline(in, line);) {
    other_key << (line.rfind("request_key =", 0) == 0 ? "request_key = AnotherKey012345" : line)
              << "\n";
  }
  std::ofstream((dir_ / "other_key.conf").string()) << other_key.str();
  options_.deploy_path = (dir_ / "other_key.conf").string();
  start_server();
  const struct {
    const char* what;
    std::string init_address;
  } cases[] = {{"refused", program_.deployment.init_address},
               {"unreachable", "http://127.0.0.1:1/api/init"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    program_.deployment.init_address = c.init_address;
    program_.state.set_error({}, {});
    dialogs_.boxes.clear();
    end_codes_.clear();
    QPointer<QWidget> start = new StartWindow(program_);
    ASSERT_TRUE(wait_until([&] { return !end_codes_.empty(); }, 20000));
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0].title, u"错误"_s);
    const QString text = dialogs_.boxes[0].text;
    EXPECT_TRUE(text.startsWith(u"错误："_s)) << to_local(text);
    EXPECT_TRUE(text.endsWith(u"!"_s));
    EXPECT_GT(text.indexOf(u"，"_s), 3) << to_local(text);  // a code before the comma
    EXPECT_EQ(end_codes_, std::vector<int>{0});
    EXPECT_EQ(window_named(u"LoginWindow"_s), nullptr);
    delete start.data();
  }
}

TEST_F(StartUpTest, AnyOtherVersionTextLeadsToTheUpdatePrompt) {
  struct Case {
    std::string version;
    bool ok;
  };
  const Case cases[] = {{"1.00 ", true}, {"1.0", false}, {"", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE("version '" + c.version + "'");
    options_.version = c.version;
    start_server();
    dialogs_.boxes.clear();
    dialogs_.answer_ok = c.ok;
    opened_.clear();
    terminations_ = 0;
    QPointer<QWidget> start = new StartWindow(program_);
    ASSERT_TRUE(wait_until([&] { return terminations_ > 0; }, 20000));
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_TRUE(dialogs_.boxes[0].ok_cancel);
    EXPECT_EQ(dialogs_.boxes[0].title, u"升级提示"_s);
    EXPECT_EQ(dialogs_.boxes[0].text,
              u"发现新版本"_s + to_qstring(c.version) +
                  u"，点击确定打开下载页面！\r\n\r\n升级内容：\r\n"_s +
                  to_qstring(program_.state.upgrade_notes));
    EXPECT_FALSE(program_.state.upgrade_notes.empty());
    if (c.ok) {
      EXPECT_EQ(opened_, QStringList{to_qstring(server_->base_url() + "/download.html")});
    } else {
      EXPECT_TRUE(opened_.isEmpty());
    }
    EXPECT_EQ(terminations_, 1);
    EXPECT_EQ(window_named(u"LoginWindow"_s), nullptr);
    delete start.data();
    server_->stop();
  }
}

TEST_F(StartUpTest, LoginWindowExistsBeforeTheStartWindowGoes) {
  start_server();
  auto* start = new StartWindow(program_);
  start->show();
  EXPECT_EQ(start->picture_box->movie()->state(), QMovie::Running);
  bool login_seen_at_destruction = false;
  bool destroyed = false;
  QObject::connect(start, &QObject::destroyed, [&] {
    destroyed = true;
    login_seen_at_destruction = window_named(u"LoginWindow"_s) != nullptr;
  });
  ASSERT_TRUE(wait_until([&] { return destroyed; }, 20000));
  EXPECT_TRUE(login_seen_at_destruction);
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_TRUE(end_codes_.empty());
  const AppState& s = program_.state;
  EXPECT_EQ(s.client_version, "1.00");
  EXPECT_EQ(s.app_id, "888");
  EXPECT_EQ(s.product_code, "wzpkyl");
  EXPECT_EQ(s.platform, "windows");
  EXPECT_EQ(s.website_address, "http://" + program_.deployment.website_host);
  EXPECT_EQ(s.account_address, server_->base_url() + "/api/user");
  EXPECT_EQ(s.latest_version, "1.00");
  EXPECT_FALSE(s.tab_address_json.empty());
  QWidget* login = window_named(u"LoginWindow"_s);
  ASSERT_NE(login, nullptr);
  EXPECT_TRUE(login->isVisible());
  EXPECT_EQ(login->findChild<QLabel*>(u"标签4"_s)->text(), u"客服QQ："_s + to_qstring(s.service_qq));
  EXPECT_EQ(login->findChild<QLabel*>(u"标签1"_s)->text(), to_qstring(s.login_subtitle));
}

TEST_F(StartUpTest, EscDuringInitDropsTheCallAndAbortsItQuickly) {
  options_.fault_delay_ms = 2000;
  start_server();
  QPointer<StartWindow> start = new StartWindow(program_);
  start->show();
  // Wait until init is under way (the configuration is filled just before it starts).
  ASSERT_TRUE(wait_until([&] { return !program_.state.client_version.empty(); }, 10000));
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(start, &esc);
  ASSERT_TRUE(wait_until([&] { return start.isNull(); }, 2000));
  QElapsedTimer timer;
  timer.start();
  const bool drained = abort_server_calls();
  std::cout << "[ measure ] init aborted after Esc in " << timer.elapsed() << " ms\n";
  EXPECT_TRUE(drained);
  spin_for(100);
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(window_named(u"LoginWindow"_s), nullptr);
}

}  // namespace
}  // namespace sd::test
