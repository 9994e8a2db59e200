#include "src/ui/start_window.h"

#include <QLabel>
#include <QMovie>
#include <QTimer>

#include "src/app/connectivity.h"
#include "src/app/start_up.h"
#include "src/protocol/operations.h"
#include "src/ui/desktop.h"
#include "src/ui/dialogs.h"
#include "src/ui/login_window.h"
#include "src/ui/qt_text.h"
#include "src/ui/server_call.h"

static void load_shell_assets() { Q_INIT_RESOURCE(shell_assets); }

using namespace Qt::Literals::StringLiterals;

namespace sd {

namespace {

struct InitCall {
  int result = 0;
  InitReply reply;
  std::string error_code, error_message;
};

}  // namespace

StartWindow::StartWindow(Program& program) : program_(program) {
  load_shell_assets();
  busy_ = new QMovie(u":/shell/busy.gif"_s, QByteArray(), this);
  picture_box->setMovie(busy_);
  busy_->start();

  // Created: the connectivity check.
  ConnectivityOptions options;
  options.timeout_seconds = program_.probe_timeout_seconds;
  run_server_call<bool>(
      this,
      [address = program_.deployment.probe_address, options](const std::atomic<bool>& cancel) {
        ConnectivityOptions call = options;
        call.cancel = &cancel;
        return check_connectivity(address, call);
      },
      [this](bool online) { connectivity_checked(online); });
}

void StartWindow::connectivity_checked(bool online) {
  if (!online) {
    dialogs().message(this, u"错误"_s, u"错误：本机联网异常，请检查!"_s);
    end_program(0);
    return;
  }
  // The start-up routine runs once, when the event queue has drained.
  QTimer::singleShot(0, this, [this] { run_start_up(); });
}

void StartWindow::run_start_up() {
  apply_fixed_configuration(program_.state, program_.deployment);
  const AppState& s = program_.state;
  ExchangeOptions exchange = program_.exchange;
  run_server_call<InitCall>(
      this,
      [url = s.init_address, appid = s.app_id, cpname = s.product_code, platform = s.platform,
       code = s.error_code(), message = s.error_message(),
       exchange](const std::atomic<bool>& cancel) {
        InitCall call;
        call.error_code = code;
        call.error_message = message;
        CallOptions options;
        options.exchange = exchange;
        options.exchange.cancel = &cancel;
        call.result = init(url, appid, cpname, platform, call.reply, call.error_code,
                           call.error_message, options);
        return call;
      },
      [this](InitCall call) {
        AppState& state = program_.state;
        if (call.result != 1) {
          state.set_error(std::move(call.error_code), std::move(call.error_message));
          show_server_error(this, state);
          end_program(0);
          return;
        }
        store_init_reply(state, call.reply);
        if (version_differs(state)) {
          if (dialogs().ok_cancel(this, u"升级提示"_s, to_qstring(update_prompt_text(state)))) {
            open_address(state.download_page_address);
          }
          terminate_self();
          return;
        }
        auto* login = new LoginWindow(program_);
        login->show();
        close();
      });
}

}  // namespace sd
