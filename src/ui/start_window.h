#pragma once
// StartWindow's handlers: the connectivity check when it is created, the start-up routine on its
// first idle moment, the hand-over to LoginWindow. Both network steps run off the GUI thread;
// closing the window while one runs drops its result and abandons the transfer.
#include "src/ui/program.h"
#include "src/ui/templates/start_window_template.h"

class QMovie;

namespace sd {

class StartWindow : public StartWindowTemplate {
  Q_OBJECT
 public:
  explicit StartWindow(Program& program);

 private:
  void connectivity_checked(bool online);
  void run_start_up();

  Program& program_;
  QMovie* busy_;
};

}  // namespace sd
