#include "src/script/regex_object.h"

#include <pcre2.h>

#include "src/http/code_page.h"
#include "src/http/text.h"
#include "src/script/regex_state.h"

namespace sd {
namespace {

// Bounds that make a pathological pattern end (with a failed search) instead of running on.
constexpr uint32_t match_limit = 10'000'000;
constexpr size_t jit_stack_start = 64 * 1024;
constexpr size_t jit_stack_max = 8 * 1024 * 1024;

std::u16string utf16_of(const std::string& local) {
  std::string bytes = to_utf16(local);
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  while (!units.empty() && units.back() == u'\0') units.pop_back();
  return units;
}

std::string local_of(std::u16string_view units) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t u : units) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return from_utf16(bytes);
}

// Releases the PCRE2 objects of one search on every path.
struct Engine {
  pcre2_code* code = nullptr;
  pcre2_match_data* data = nullptr;
  pcre2_match_context* context = nullptr;
  pcre2_jit_stack* stack = nullptr;
  ~Engine() {
    pcre2_jit_stack_free(stack);
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
};

pcre2_code* compile(const std::u16string& pattern, bool case_sensitive, bool multiline) {
  // JavaScript's dialect: "." stops at \r and \n, "$" without multiline only at the very end,
  // \uXXXX escapes, [] and [^], back references to unset groups match nothing; \w stays ASCII.
  uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF |
                     PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_BACKSLASH_C;
  if (!case_sensitive) options |= PCRE2_CASELESS;
  if (multiline) options |= PCRE2_MULTILINE;
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  if (context == nullptr) return nullptr;
  pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
  int error = 0;
  PCRE2_SIZE error_offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                   options, &error, &error_offset, context);
  pcre2_compile_context_free(context);
  return code;
}

// Collects the matches of the compiled pattern into state; false when matching failed
// (a limit was reached or the engine reported an error).
bool collect(Engine& engine, bool global, RegexObject::State& state) {
  uint32_t groups = 0;
  pcre2_pattern_info(engine.code, PCRE2_INFO_CAPTURECOUNT, &groups);
  state.group_count = groups;
  engine.data = pcre2_match_data_create_from_pattern(engine.code, nullptr);
  engine.context = pcre2_match_context_create(nullptr);
  if (engine.data == nullptr || engine.context == nullptr) return false;
  pcre2_set_match_limit(engine.context, match_limit);
  if (pcre2_jit_compile(engine.code, PCRE2_JIT_COMPLETE) == 0) {
    engine.stack = pcre2_jit_stack_create(jit_stack_start, jit_stack_max, nullptr);
    if (engine.stack != nullptr) pcre2_jit_stack_assign(engine.context, nullptr, engine.stack);
  }
  auto subject = reinterpret_cast<PCRE2_SPTR>(state.subject.data());
  size_t length = state.subject.size();
  size_t start = 0;
  uint32_t options = 0;  // the first call checks the subject's UTF-16; later calls need not again
  while (start <= length) {
    int rc = pcre2_match(engine.code, subject, length, start, options, engine.data, engine.context);
    options = PCRE2_NO_UTF_CHECK;
    if (rc == PCRE2_ERROR_NOMATCH) break;
    if (rc < 0) return false;
    PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(engine.data);
    for (uint32_t k = 0; k < (groups + 1) * 2; ++k)
      state.offsets.push_back(ovector[k] == PCRE2_UNSET ? -1 : static_cast<long>(ovector[k]));
    if (!global) break;
    size_t next = ovector[1];
    if (next <= ovector[0] || next <= start) {
      // After an empty match the next search starts one character further on.
      next = std::max<size_t>(start, ovector[1]) + 1;
      if (next < length && (state.subject[next - 1] & 0xFC00) == 0xD800 &&
          (state.subject[next] & 0xFC00) == 0xDC00)
        ++next;
    }
    start = next;
  }
  return true;
}

// The byte offset in the local subject of the text found at UTF-16 offset `at`. The text before
// it, converted back, gives the offset; where the subject held bytes that do not convert back
// unchanged, the text is searched from the character index onward instead.
long byte_offset(const std::string& subject, const std::u16string& units, long at, const std::string& text,
                 long search_from) {
  size_t offset = local_of(std::u16string_view(units).substr(0, static_cast<size_t>(at))).size();
  if (offset <= subject.size() && subject.compare(offset, text.size(), text) == 0)
    return static_cast<long>(offset);
  long found = find(subject, text, search_from + 1);
  return found > 0 && static_cast<size_t>(found - 1) + text.size() <= subject.size() ? found - 1 : -1;
}

void set_position(long* position, long value) {
  if (position != nullptr) *position = value;
}

}  // namespace

RegexObject::RegexObject() : state_(std::make_shared<State>()) {}
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(const RegexObject&) = default;
RegexObject& RegexObject::operator=(const RegexObject&) = default;

bool RegexObject::search(const std::string& pattern, const std::string& subject, bool case_sensitive,
                         bool multiline, bool global, bool quote_marker) {
  try {
    state_ = std::make_shared<State>();
    subject_ = text_of(subject);
    std::string text = text_of(pattern);
    state_->pattern = quote_marker ? replace_all(text, "#引号", "\"") : text;
    state_->subject = utf16_of(subject_);
    Engine engine;
    engine.code = compile(utf16_of(state_->pattern), case_sensitive, multiline);
    if (engine.code == nullptr) return false;
    if (!collect(engine, global, *state_)) {
      state_->offsets.clear();
      return false;
    }
    state_->searched = true;
    return true;
  } catch (...) {
    state_ = std::make_shared<State>();
    return false;
  }
}

std::string RegexObject::pattern() const { return state_->pattern; }

std::string RegexObject::replace(const std::string& replacement) const {
  try {
    if (!state_->searched) return "";
    return local_of(replace_matches(*state_, utf16_of(text_of(replacement))));
  } catch (...) {
    return "";
  }
}

long RegexObject::match_count() const { return state_->match_count(); }

std::string RegexObject::match_text(long index, long* position) const {
  set_position(position, -1);
  try {
    if (index < 1 || index > state_->match_count()) return "";
    const long* m = state_->match(index);
    std::string text = local_of(std::u16string_view(state_->subject).substr(m[0], m[1] - m[0]));
    set_position(position, byte_offset(subject_, state_->subject, m[0], text, m[0]));
    return text;
  } catch (...) {
    return "";
  }
}

std::string RegexObject::sub_match_text(long index, long group, long* position) const {
  set_position(position, -1);
  try {
    if (index < 1 || index > state_->match_count() || group < 1 || group > state_->group_count) return "";
    const long* m = state_->match(index);
    if (m[2 * group] < 0) return "";
    long start = m[2 * group];
    std::string text = local_of(std::u16string_view(state_->subject).substr(start, m[2 * group + 1] - start));
    set_position(position, byte_offset(subject_, state_->subject, start, text, m[0]));
    return text;
  } catch (...) {
    return "";
  }
}

long RegexObject::sub_match_count() const { return state_->match_count() > 0 ? state_->group_count : 0; }

}  // namespace sd
