#pragma once
// What a RegexObject's last search left: shared by the object's copies.
#include <string>
#include <vector>

#include "src/script/regex_object.h"

namespace sd {

struct RegexObject::State {
  std::string pattern;       // local text, after the quote marker was replaced
  std::u16string subject;    // the subject as the engine saw it
  bool searched = false;     // the last search ran (its pattern compiled and matching ended normally)
  long group_count = 0;      // capture groups of the pattern
  // For each match, its start and end and then each group's, in UTF-16 units; -1 for a group
  // that did not take part. (group_count + 1) * 2 entries per match.
  std::vector<long> offsets;

  long match_count() const { return searched ? static_cast<long>(offsets.size() / stride()) : 0; }
  size_t stride() const { return static_cast<size_t>(group_count + 1) * 2; }
  const long* match(long index) const { return offsets.data() + (index - 1) * stride(); }
};

// The subject with every match replaced, JavaScript-style: $$, $&, $`, $', $1..$99.
std::u16string replace_matches(const RegexObject::State& state, const std::u16string& replacement);

}  // namespace sd
