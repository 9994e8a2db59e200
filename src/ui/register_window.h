#pragma once
// RegisterWindow's handler: registering a new account (off the GUI thread; a second click while
// the call runs is ignored). Opened modally over LoginWindow; deleted when closed.
#include "src/ui/program.h"
#include "src/ui/server_call.h"
#include "src/ui/templates/register_window_template.h"

namespace sd {

class RegisterWindow : public RegisterWindowTemplate {
  Q_OBJECT
 public:
  RegisterWindow(Program& program, QWidget* owner);

  void submit_registration();

 private:
  Program& program_;
  ServerAction register_action_;
};

}  // namespace sd
