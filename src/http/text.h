#pragma once
// Primitives over local text: GBK bytes in std::string.
// Positions are 1-based byte positions; a failed search gives -1.
// A lead byte (0x81..0xFE) starts a two-byte character: matching never starts on the byte
// after it. 0x80 (the euro sign) and 0xFF are one-byte characters in code page 936.
#include <string>
#include <string_view>
#include <vector>

namespace sd {

// True for the first byte of a two-byte character of code page 936.
inline bool is_lead_byte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

// Byte length of the character that starts at text[at] (1 or 2; 1 for a lead byte at the end).
inline std::size_t char_length(std::string_view text, std::size_t at) {
  return is_lead_byte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

// 1-based position of needle at or after start (start below 1 counts as 1), or -1.
// A start inside a two-byte character moves on to the next character. An empty needle is
// never found. ignore_case folds ASCII letters only, never the trail byte of a character.
long find(std::string_view text, std::string_view needle, long start = 1, bool ignore_case = false);

// Cuts text at every separator (found as by find, case-sensitive). Empty pieces between two
// separators count; an empty remainder after the last separator is dropped; "" gives {}.
std::vector<std::string> split(std::string_view text, std::string_view separator);

// Spaces are the half-width 0x20 and the full-width A1 A1 only, taken at character boundaries
// (the bytes B0 A1 A1 B0 are two characters and hold no space). Tabs and line breaks stay.
std::string trim(std::string_view text);
std::string remove_spaces(std::string_view text);

// Replaces every occurrence (found as by find) of from by to; an empty from changes nothing.
std::string replace_all(std::string_view text, std::string_view from, std::string_view to,
                        bool ignore_case = false);

// Byte cuts; out-of-range counts are clamped. middle's start is 1-based.
std::string left(std::string_view text, long count);
std::string right(std::string_view text, long count);
std::string middle(std::string_view text, long start, long count);

// A byte string taken as local text: the bytes up to, not including, the first zero byte.
std::string text_of(std::string_view bytes);

}  // namespace sd
