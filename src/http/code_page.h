#pragma once
// Conversions between local text (code page 936), UTF-16LE byte strings and UTF-8.
// Code page 0 (the system's ANSI page) is 936 in this program, whatever the locale.
// Invalid or unmappable input is replaced, never reported.
#include <string>
#include <string_view>

namespace sd {

std::string to_utf16(std::string_view local);                       // + one zero unit; "" -> ""
std::string from_utf16(std::string_view utf16le);                   // stops at first zero unit
std::string decode_code_page(std::string_view text, int code_page = 65001);  // always ends with a zero unit
std::string encode_code_page(std::string_view utf16le, int code_page = 0);   // stops at first zero unit
std::string utf8_to_local(std::string_view utf8);
std::string local_to_utf8(std::string_view local);

// Decodes bytes in the named character set ("utf-8", "big5", ...) into local text.
// False (and out untouched) when the name is unknown to the converter.
bool decode_named_charset(std::string_view bytes, std::string_view charset, std::string& out);

}  // namespace sd
