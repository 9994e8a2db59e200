#pragma once
// Runs one prepared libcurl easy handle to its end on the calling thread, with an idle watchdog
// and a cancellation flag, and collects the final response's header block and body.
#include <curl/curl.h>

#include <atomic>
#include <string>

#include "src/http/http_errors.h"

namespace sd::http {

struct TransferResult {
  Failure failure = Failure::none;  // Failure::read: the body is cut short but usable
  bool cancelled = false;
  std::string header_block;         // the final response's raw block, lines ending in "\r\n"
  std::string body;                 // the final response's body
};

struct TransferSettings {
  long idle_limit_ms = 30000;                    // no byte moved for this long once connected
  long long upload_size = 0;                    // bytes of request body
  bool follow_redirects = true;
  const std::atomic<bool>* cancel = nullptr;
};

// Installs its own header, write, progress and pre-request callbacks on `easy`, then runs it.
// Returns Failure::session when the callbacks cannot be installed or the run cannot start.
TransferResult run_transfer(CURL* easy, const TransferSettings& settings);

}  // namespace sd::http
