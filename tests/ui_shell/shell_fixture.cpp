#include "tests/ui_shell/shell_fixture.h"

#include <QApplication>
#include <QPointer>

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "src/app/start_up.h"
#include "src/protocol/operations.h"
#include "src/ui/desktop.h"
#include "src/ui/server_call.h"
#include "tests/qt_support/qt_environment.h"

namespace sd::test {

void ShellTest::SetUp() {
  static std::atomic<int> counter{0};
  old_cwd_ = std::filesystem::current_path();
  dir_ = std::filesystem::temp_directory_path() /
         ("ui_shell_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  std::filesystem::create_directories(dir_);
  std::filesystem::current_path(dir_);

  options_.deploy_path = std::string(STOCKDESK_SOURCE_DIR) + "/deploy/local.conf";
  options_.db_path = (dir_ / "accounts.db").string();
  options_.port = 0;
  options_.hash_iterations = 1000;
  options_.threads = 4;
  options_.create_accounts = {{"alice", "secret1"}};

  program_.deployment = builtin_deployment();
  program_.exchange.handshake_attempts = 1;
  program_.exchange.data_attempts = 1;
  program_.exchange.timeout_seconds = 10;
  program_.probe_timeout_seconds = 5;
  program_.deployment.chat_host = "chat.invalid";
  register_clean_up(&program_);
  set_exit_hooks({[this](int code) { end_codes_.push_back(code); }, [this] { ++terminations_; }});
  set_open_address_hook([this](const QString& address) {
    opened_.append(address);
    return true;
  });
}

void ShellTest::TearDown() {
  for (QWidget* w : QApplication::topLevelWidgets()) w->close();
  spin_for(20);
  abort_server_calls();
  wait_until([] { return server_calls_in_flight() == 0; }, 3000);
  spin_for(10);
  QList<QPointer<QWidget>> windows;
  for (QWidget* w : QApplication::topLevelWidgets()) windows.append(w);
  for (const QPointer<QWidget>& w : windows) delete w.data();  // owners delete their dialogs first
  set_exit_hooks({});
  set_open_address_hook({});
  register_clean_up(nullptr);
  if (server_) server_->stop();
  std::filesystem::current_path(old_cwd_);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void ShellTest::start_server() {
  server_ = std::make_unique<AccountServer>(options_);
  std::string error;
  ASSERT_TRUE(server_->start(error)) << error;
  aim_program_at_server();
}

void ShellTest::prepare_logged_out() {
  start_server();
  apply_fixed_configuration(program_.state, program_.deployment);
  InitReply reply;
  std::string code, message;
  ASSERT_EQ(init(program_.state.init_address, program_.state.app_id, program_.state.product_code,
                 program_.state.platform, reply, code, message),
            1)
      << code << " " << message;
  store_init_reply(program_.state, reply);
}

void ShellTest::aim_program_at_server() {
  const std::string base = server_->base_url();
  program_.deployment.init_address = base + server_->init_path();
  program_.deployment.probe_address = base + "/health";
}

QWidget* ShellTest::window_named(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name) return w;
  }
  return nullptr;
}

std::string ShellTest::config_ini() {
  std::ifstream in("config.ini", std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void ShellTest::write_config_ini(const std::string& bytes) {
  std::ofstream("config.ini", std::ios::binary) << bytes;
}

}  // namespace sd::test
