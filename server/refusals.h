#pragma once
// The server's refusals: an error code and a Chinese message, both UTF-8 as they go on the wire.
#include <string>
#include <string_view>

namespace sd {

// UTF-8 bytes of a u8 literal as a std::string (narrow literals are GBK in this project).
inline std::string utf8_text(std::u8string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

struct Refusal {
  std::string code;
  std::string message;  // UTF-8
};

namespace refusal {
// The request itself.
Refusal internal_error();       // 1000: storage failed
Refusal malformed_request();    // 1001: the opened request is not the expected JSON
Refusal unknown_function();     // 1002: funname names no function
Refusal bad_random();           // 1003: no handshake for this request, or it expired
Refusal used_random();          // 1004: the handshake already served another request
Refusal stale_session();        // 1006: the request carries cookies of a failed handshake
Refusal busy();                 // 1007: the same request is still being worked on
// The accounts.
Refusal empty_fields();         // 2001
Refusal wrong_password();       // 2002: unknown account or wrong password (one answer for both)
Refusal account_exists();       // 2003
Refusal token_expired();        // 2004: token unknown or expired
Refusal wrong_old_password();   // 2005
Refusal heartbeat_refused();    // 2006: test fault
Refusal field_too_long();       // 2007
}  // namespace refusal

}  // namespace sd
