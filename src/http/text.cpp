#include "src/http/text.h"

#include <algorithm>
#include <cstring>

namespace sd {
namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether needle matches text at byte offset at (a character boundary). Without
// ignore_case the bytes must be equal; with it, one-byte ASCII letters fold while both bytes
// of a two-byte character must be equal (their trail bytes may look like letters).
bool matches_at(std::string_view text, std::size_t at, std::string_view needle, bool ignore_case) {
  if (!ignore_case) return std::memcmp(text.data() + at, needle.data(), needle.size()) == 0;
  std::size_t j = 0;
  while (j < needle.size()) {
    const char t = text[at + j];
    const char n = needle[j];
    if (is_lead_byte(n)) {
      if (t != n) return false;
      if (j + 1 < needle.size() && text[at + j + 1] != needle[j + 1]) return false;
      j += 2;
    } else {
      if (fold(t) != fold(n)) return false;
      ++j;
    }
  }
  return true;
}

// Offset of needle at or after from, which must be a character boundary; npos when absent.
std::size_t find_at_boundary(std::string_view text, std::string_view needle, std::size_t from,
                             bool ignore_case) {
  if (needle.empty() || needle.size() > text.size()) return std::string_view::npos;
  const std::size_t last = text.size() - needle.size();
  const char first = needle[0];
  const bool fold_first = ignore_case && !is_lead_byte(first);
  for (std::size_t i = from; i <= last; i += char_length(text, i)) {
    const char c = text[i];
    if ((c == first || (fold_first && fold(c) == fold(first))) &&
        matches_at(text, i, needle, ignore_case))
      return i;
  }
  return std::string_view::npos;
}

}  // namespace

long find(std::string_view text, std::string_view needle, long start, bool ignore_case) {
  if (needle.empty()) return -1;
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
  if (from >= text.size()) return -1;
  std::size_t i = 0;
  while (i < from) i += char_length(text, i);  // the first character boundary at or after from
  const std::size_t at = find_at_boundary(text, needle, i, ignore_case);
  return at == std::string_view::npos ? -1 : static_cast<long>(at + 1);
}

std::vector<std::string> split(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t pos = 0;
  for (;;) {
    const std::size_t at = find_at_boundary(text, separator, pos, false);
    if (at == std::string_view::npos) break;
    pieces.emplace_back(text.substr(pos, at - pos));
    pos = at + separator.size();
  }
  if (pos < text.size()) pieces.emplace_back(text.substr(pos));
  return pieces;
}

namespace {

// Length of the space character at text[at] (1 for 0x20, 2 for A1 A1), or 0.
std::size_t space_length(std::string_view text, std::size_t at) {
  if (text[at] == ' ') return 1;
  if (text[at] == '\xA1' && at + 1 < text.size() && text[at + 1] == '\xA1') return 2;
  return 0;
}

}  // namespace

std::string trim(std::string_view text) {
  std::size_t begin = text.size();
  std::size_t end = 0;
  bool leading = true;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t space = space_length(text, i);
    const std::size_t step = space ? space : char_length(text, i);
    if (!space) {
      if (leading) begin = i;
      leading = false;
      end = i + step;
    }
    i += step;
  }
  return begin < end ? std::string(text.substr(begin, end - begin)) : std::string();
}

std::string remove_spaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t space = space_length(text, i);
    if (space) {
      i += space;
      continue;
    }
    const std::size_t step = char_length(text, i);
    out.append(text.substr(i, step));
    i += step;
  }
  return out;
}

std::string replace_all(std::string_view text, std::string_view from, std::string_view to,
                        bool ignore_case) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (;;) {
    const std::size_t at = find_at_boundary(text, from, pos, ignore_case);
    if (at == std::string_view::npos) break;
    out.append(text.substr(pos, at - pos));
    out.append(to);
    pos = at + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string left(std::string_view text, long count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, static_cast<std::size_t>(count)));
}

std::string right(std::string_view text, long count) {
  if (count <= 0) return {};
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(count));
  return std::string(text.substr(text.size() - n));
}

std::string middle(std::string_view text, long start, long count) {
  if (count <= 0) return {};
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
  if (from >= text.size()) return {};
  return std::string(text.substr(from, static_cast<std::size_t>(count)));
}

std::string text_of(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace sd
