#include "src/http/cookies.h"

#include "src/http/text.h"

namespace sd {

std::string text_between(std::string_view text, std::string_view start_marker,
                         std::string_view end_marker, long start, bool ignore_case) {
  const std::string head = replace_all(start_marker, "#引号", "\"");
  const std::string tail = replace_all(end_marker, "#引号", "\"");
  const long found = find(text, head, start, ignore_case);
  if (found == -1) return {};
  const long from = found + static_cast<long>(head.size());
  const long to = find(text, tail, from, ignore_case);
  if (to == -1) return {};
  return std::string(text.substr(static_cast<std::size_t>(from - 1),
                                 static_cast<std::size_t>(to - from)));
}

std::string cookie_name(std::string_view entry) {
  const long eq = find(entry, "=");
  return trim(eq == -1 ? entry : entry.substr(0, static_cast<std::size_t>(eq - 1)));
}

bool has_cookie_named(const std::vector<std::string>& list, std::string_view name) {
  for (const std::string& entry : list)
    if (cookie_name(entry) == name) return true;
  return false;
}

long find_in_list(const std::vector<std::string>& list, std::string_view text) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i] == text) return static_cast<long>(i + 1);
  return -1;
}

std::string remove_duplicates(std::string_view text, std::string_view separator) {
  std::vector<std::string> kept;
  std::string out;
  for (std::string& piece : split(text, separator)) {
    if (find_in_list(kept, piece) != -1) continue;
    out.append(piece);
    out.append(separator);
    kept.push_back(std::move(piece));
  }
  out.resize(out.size() >= separator.size() ? out.size() - separator.size() : 0);
  return out;
}

std::string merge_cookies(std::string& kept, std::string& received) {
  kept = remove_spaces(kept);
  received = remove_spaces(received);
  std::vector<std::string> kept_list = split(kept, ";");
  std::vector<std::string> merged = split(received, ";");
  for (std::string& entry : kept_list)
    if (!has_cookie_named(merged, cookie_name(entry))) merged.push_back(std::move(entry));

  static constexpr std::string_view deleted = "=deleted";
  std::string text;
  for (const std::string& entry : merged) {
    if (entry.size() >= deleted.size() && entry.ends_with(deleted)) continue;
    text.append(entry);
    text.append("; ");
  }
  text.resize(text.size() >= 2 ? text.size() - 2 : 0);
  kept = remove_duplicates(text, "; ");
  return kept;
}

}  // namespace sd
