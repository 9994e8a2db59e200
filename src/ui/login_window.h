#pragma once
// LoginWindow's handlers: restoring the remembered login, logging in (off the GUI thread; a
// second click while the call runs is ignored), the register dialog and the service chat link.
#include "src/ui/program.h"
#include "src/ui/server_call.h"
#include "src/ui/templates/login_window_template.h"

namespace sd {

class LoginWindow : public LoginWindowTemplate {
  Q_OBJECT
 public:
  explicit LoginWindow(Program& program);

  void restore_login_form();
  void submit_login();
  void open_service_chat();
  void open_register_window();

 private:
  Program& program_;
  ServerAction login_action_;
};

}  // namespace sd
