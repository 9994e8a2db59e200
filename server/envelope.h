#pragma once
// The server's side of the request/reply envelope.
#include <string>
#include <string_view>

namespace sd {

// Length of a handshake random: 12 characters drawn from 62 (about 71 bits), so that the
// handshake reply below is exactly 44 characters.
inline constexpr std::size_t server_random_length = 12;

// A fresh server random of server_random_length letters and digits (OpenSSL's generator).
std::string draw_server_random();
// 32 lower-case hexadecimal digits of 128 random bits: session ids and tokens.
std::string draw_random_hex128();

// The 44-character handshake reply: {"code":0,"data":"<hex of RC4(random, key)>"}.
std::string handshake_reply(std::string_view server_random, std::string_view request_key);

// Opens "DATA=" content: hex(RC4(hex(RC4(plain, request key)), server random)).
// False when either layer is not well-formed hexadecimal.
bool open_request(std::string_view sealed, std::string_view request_key,
                  std::string_view server_random, std::string& plain);

// Seals a reply's UTF-8 JSON for the client whose request carried client_random:
// hex(RC4(hex(RC4(json, reply_key(client_random))), request key)).
std::string seal_reply(std::string_view json_utf8, std::string_view request_key,
                       std::string_view client_random);

// True when text is a non-empty, even-length run of hexadecimal digits (either case).
bool is_hex_text(std::string_view text);

// Undoes every %XX of two hexadecimal digits; a '+' stays a '+', a lone '%' stays as it is.
std::string percent_decode(std::string_view text);

}  // namespace sd
