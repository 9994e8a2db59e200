#include "src/http/http_request.h"

namespace sd {

namespace {
thread_local PumpHook pump_hook = nullptr;
}  // namespace

void set_message_pump_hook(PumpHook hook) { pump_hook = hook; }

void process_pending_messages() {
  if (pump_hook != nullptr) pump_hook();
}

}  // namespace sd
