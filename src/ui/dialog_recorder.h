#pragma once
// A dialog service for tests: records every box and answers at once.
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

#include "src/ui/dialogs.h"

namespace sd {

class DialogRecorder final : public DialogService {
 public:
  struct Box {
    QString title, text;
    bool ok_cancel = false;
    bool had_owner = false;
  };

  DialogRecorder() { set_dialog_service(this); }
  ~DialogRecorder() override { set_dialog_service(nullptr); }
  DialogRecorder(const DialogRecorder&) = delete;
  DialogRecorder& operator=(const DialogRecorder&) = delete;

  void message(QWidget* owner, const QString& title, const QString& text) override {
    boxes.push_back({title, text, false, owner != nullptr});
    if (on_box) on_box(boxes.back());
  }
  bool ok_cancel(QWidget* owner, const QString& title, const QString& text) override {
    boxes.push_back({title, text, true, owner != nullptr});
    if (on_box) on_box(boxes.back());
    return answer_ok;
  }

  std::vector<Box> boxes;
  bool answer_ok = true;                      // the answer to every OK/Cancel box
  std::function<void(const Box&)> on_box;     // called while the box is "open"
};

}  // namespace sd
