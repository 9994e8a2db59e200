#pragma once
// The numbered failure texts of http_request and the phase each libcurl result belongs to.
#include <curl/curl.h>

namespace sd::http {

enum class Failure {
  none = 0,
  no_platform = 700,      // libcurl could not be initialised
  bad_url = 701,          // the address cannot be split
  session = 702,          // handles or session-wide options
  connection = 703,       // address, proxy
  request = 704,          // verb, body, protocol version
  timeouts = 705,
  credentials = 707,      // server or proxy credentials
  cookie_option = 708,
  redirect_option = 709,
  headers = 710,          // the header block is refused
  send = 711,             // resolve, connect, TLS handshake, sending the request
  receive = 712,          // no (final) response arrives
  read = 713,             // reading the body of the final response fails
};

// "700 ..." to "713 ..." (local text); "" for Failure::none.
const char* failure_text(Failure failure);

// How far one transfer got before it ended.
struct TransferProgress {
  bool request_sent = false;   // connected and the whole request body went out
  bool response_seen = false;  // a status line arrived
  bool in_body = false;        // the final response's header block is complete
};

// The failure a finished transfer stands for. Failure::read means "go on with the bytes so far".
Failure failure_for(CURLcode code, const TransferProgress& progress);

// The failure for a transfer that we stopped ourselves (idle watchdog, cancellation).
Failure failure_for_abort(const TransferProgress& progress);

}  // namespace sd::http
