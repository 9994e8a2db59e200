#pragma once
// ChangePasswordWindow's handlers: the checks of the three entries, change_pawd with the current
// login token (off the GUI thread; a second click while it runs is ignored), the outcome boxes.
#include "src/ui/program.h"
#include "src/ui/server_call.h"
#include "src/ui/templates/change_password_window_template.h"

namespace sd {

class ChangePasswordWindow : public ChangePasswordWindowTemplate {
  Q_OBJECT
 public:
  ChangePasswordWindow(Program& program, QWidget* owner);

  void submit_change();

 private:
  Program& program_;
  ServerAction change_action_;
};

}  // namespace sd
