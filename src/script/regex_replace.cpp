#include <algorithm>

#include "src/script/regex_state.h"

namespace sd {
namespace {

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Expands the replacement for one match; m points at its offsets.
void expand(const RegexObject::State& state, const long* m, std::u16string_view replacement,
            std::u16string& out) {
  std::u16string_view subject = state.subject;
  auto group = [&](long g) {
    if (m[2 * g] >= 0) out.append(subject.substr(m[2 * g], m[2 * g + 1] - m[2 * g]));
  };
  for (size_t i = 0; i < replacement.size(); ++i) {
    char16_t c = replacement[i];
    if (c != u'$' || i + 1 >= replacement.size()) {
      out += c;
      continue;
    }
    char16_t next = replacement[i + 1];
    if (next == u'$') {
      out += u'$';
      ++i;
    } else if (next == u'&') {
      group(0);
      ++i;
    } else if (next == u'`') {
      out.append(subject.substr(0, m[0]));
      ++i;
    } else if (next == u'\'') {
      out.append(subject.substr(m[1]));
      ++i;
    } else if (is_digit(next)) {
      long one = next - u'0';
      long two = i + 2 < replacement.size() && is_digit(replacement[i + 2])
                     ? one * 10 + (replacement[i + 2] - u'0')
                     : 0;
      if (two >= 1 && two <= state.group_count) {
        group(two);
        i += 2;
      } else if (one >= 1 && one <= state.group_count) {
        group(one);
        i += 1;
      } else {
        out += c;
      }
    } else {
      out += c;
    }
  }
}

}  // namespace

std::u16string replace_matches(const RegexObject::State& state, const std::u16string& replacement) {
  std::u16string out;
  size_t last = 0;
  for (long i = 1; i <= state.match_count(); ++i) {
    const long* m = state.match(i);
    size_t start = static_cast<size_t>(m[0]);
    if (start >= last) out.append(state.subject, last, start - last);
    expand(state, m, replacement, out);
    last = std::max(last, static_cast<size_t>(m[1]));
  }
  out.append(state.subject, last);
  return out;
}

}  // namespace sd
