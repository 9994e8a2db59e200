#pragma once
// One complete HTTP(S) exchange with the program's default header block, cookie handling,
// redirects, timeouts, charset step and the numbered error texts "700 ..." to "713 ...".
#include <atomic>
#include <optional>
#include <string>

namespace sd {

struct HttpParams {
  std::string url;                              // 1  absolute http or https address
  int method = 0;                               // 2  0 GET, 1 POST, ... outside 0..7 GET
  std::string body;                             // 3
  std::string* cookies = nullptr;               // 4  in/out; nullptr = not supplied
  std::string* received_cookies = nullptr;      // 5  out
  std::string extra_headers;                    // 6  lines joined by "\r\n", no final break
  std::string* received_headers = nullptr;      // 7  out
  bool no_redirect = false;                     // 8
  std::string server_user_name;                 // 9
  std::string server_password;                  // 10
  std::string proxy;                            // 11 host:port
  std::string proxy_user_name;                  // 12
  std::string proxy_password;                   // 13
  int timeout_seconds = 0;                      // 14 above 0: seconds; else 30
  std::string* redirect_location = nullptr;     // 15 out
  std::string* status = nullptr;                // 16 out
  std::string* body_bytes = nullptr;            // 17 out
  std::optional<bool> auto_merge_cookies;       // 18 not supplied = true

  // Set from another thread to abort the call; it then ends as a failed exchange within about
  // 50 ms: "" is returned and only `status` is written, naming the phase the call was in
  // (711 before the request was out, 712 while waiting for the response, 713 while reading
  // the body).
  const std::atomic<bool>* cancel = nullptr;
};

// Returns the page text (local text), or "" when the exchange failed.
std::string http_request(const HttpParams& params);

// Hook run at the points where the routine lets the calling thread handle pending work.
// Per thread; by default does nothing.
using PumpHook = void (*)();
void set_message_pump_hook(PumpHook hook);
void process_pending_messages();

}  // namespace sd
