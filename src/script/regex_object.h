#pragma once
// One regular-expression search over one subject, JavaScript-style, on local text (GBK).
// Indices are 1-based; positions are 0-based byte offsets in the subject.
#include <memory>
#include <string>

namespace sd {

class RegexObject {
 public:
  RegexObject();
  ~RegexObject();
  RegexObject(const RegexObject&);
  RegexObject& operator=(const RegexObject&);

  bool search(const std::string& pattern, const std::string& subject, bool case_sensitive = false,
              bool multiline = true, bool global = true, bool quote_marker = false);
  std::string pattern() const;
  std::string replace(const std::string& replacement = "") const;
  long match_count() const;
  std::string match_text(long index, long* position = nullptr) const;
  std::string sub_match_text(long index, long group, long* position = nullptr) const;
  long sub_match_count() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
  std::string subject_;
};

}  // namespace sd
