#pragma once
// A program context against the reference account server, run in-process on a free port of
// 127.0.0.1, with a recorder in place of the message boxes, the desktop and the program's ends.
// Each test runs in a temporary current directory (config.ini lives there).
#include <QString>
#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "server/account_server.h"
#include "server/options.h"
#include "src/ui/dialog_recorder.h"
#include "src/ui/program.h"

namespace sd::test {

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the server with options_ and points program_ at it.
  void start_server();
  // Starts the server and fills the program's state as a finished start-up does.
  void prepare_logged_out();
  // The program's deployment for the running server.
  void aim_program_at_server();

  // The top-level window with this object name, or nullptr.
  static QWidget* window_named(const QString& name);
  // Contents of config.ini in the current directory ("" when missing).
  static std::string config_ini();
  static void write_config_ini(const std::string& bytes);

  std::filesystem::path dir_, old_cwd_;
  ServerOptions options_;
  std::unique_ptr<AccountServer> server_;
  Program program_;
  DialogRecorder dialogs_;
  std::vector<int> end_codes_;
  int terminations_ = 0;
  QStringList opened_;
};

}  // namespace sd::test
