// Input: an options byte, a pattern line, then the subject (local text). Searches, then reads
// every match and group and checks that each reported position holds the reported text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "src/script/regex_object.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

void check_position(const std::string& subject, const std::string& text, long position) {
  if (position < 0) return;
  require(static_cast<size_t>(position) <= subject.size());
  require(subject.compare(static_cast<size_t>(position), text.size(), text) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const unsigned options = data[0];
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t end = rest.find('\n');
  const std::string pattern = rest.substr(0, end);
  const std::string subject = end == std::string::npos ? std::string() : rest.substr(end + 1);

  sd::RegexObject regex;
  bool found = regex.search(pattern, subject, options & 1, options & 2, options & 4, options & 8);
  regex.pattern();
  long count = regex.match_count();
  require(count >= 0 && (found || count == 0));
  const std::string local_subject = subject.substr(0, subject.find('\0'));
  for (long i = 1; i <= count && i <= 8; ++i) {
    long position = -1;
    check_position(local_subject, regex.match_text(i, &position), position);
    for (long j = 1; j <= regex.sub_match_count() && j <= 4; ++j)
      check_position(local_subject, regex.sub_match_text(i, j, &position), position);
  }
  regex.match_text(count + 1);
  regex.sub_match_text(1, regex.sub_match_count() + 1);
  regex.replace("<$1|$&|$`|$'|$$|$10>");
  sd::RegexObject copy = regex;
  copy.replace(pattern);
  return 0;
}
