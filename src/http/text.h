#pragma once
// Primitives over local text: GBK bytes in std::string.
// Positions are 1-based byte positions; a failed search gives -1.
// A byte of 0x80 or above is a lead byte: matching never starts on the byte after it.
#include <string>
#include <string_view>
#include <vector>

namespace sd {

// 1-based position of needle at or after start (start below 1 counts as 1), or -1.
// ignore_case folds ASCII letters only.
long find(std::string_view text, std::string_view needle, long start = 1, bool ignore_case = false);

// Cuts text at every separator (found as by find, case-sensitive). Empty pieces between two
// separators count; an empty remainder after the last separator is dropped; "" gives {}.
std::vector<std::string> split(std::string_view text, std::string_view separator);

// Spaces are the half-width 0x20 and the full-width A1 A1 only.
std::string trim(std::string_view text);
std::string remove_spaces(std::string_view text);

// Replaces every occurrence (found as by find) of from by to.
std::string replace_all(std::string_view text, std::string_view from, std::string_view to,
                        bool ignore_case = false);

// Byte cuts; out-of-range counts are clamped. middle's start is 1-based.
std::string left(std::string_view text, long count);
std::string right(std::string_view text, long count);
std::string middle(std::string_view text, long start, long count);

// A byte string taken as local text: the bytes up to, not including, the first zero byte.
std::string text_of(std::string_view bytes);

}  // namespace sd
