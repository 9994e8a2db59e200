#pragma once
// The exchange every account-server call runs: handshake, one sealed request, the opened reply.
#include <atomic>
#include <string>

#include "src/script/json_object.h"

namespace sd {

enum class ExchangeOutcome {
  opened,       // the reply object holds the operation's reply JSON
  refused,      // the server answered without data (its errcode and msg are in the error outputs)
  unreachable,  // gave up on the network after the bounded attempts (our code and message in the outputs)
};

struct ExchangeOptions {
  int handshake_attempts = 4;   // bounded; the original protocol retries without limit
  int data_attempts = 4;
  int first_pause_ms = 200;     // pause before the second attempt, doubled each time
  int timeout_seconds = 0;      // passed to http_request (0: 30 seconds)
  const std::atomic<bool>* cancel = nullptr;  // set from another thread to abandon the call
};

ExchangeOutcome server_exchange(const std::string& url, const std::string& request_tail,
                                bool decode_handshake, JsonObject& reply,
                                std::string& error_code, std::string& error_message,
                                const ExchangeOptions& options = {});

std::string handshake_timestamp();

}  // namespace sd
