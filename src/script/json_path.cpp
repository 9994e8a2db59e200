#include "src/script/json_path.h"

namespace sd {
namespace {

// Array indices beyond this are refused by the setters (the gap would be filled with nulls).
constexpr long max_new_index = 1 << 20;

bool is_identifier_start(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}
bool is_identifier_part(unsigned char c) { return is_identifier_start(c) || (c >= '0' && c <= '9'); }

// The array index that a name spells: "0", "17"; not "017", "-1", "1.0".
long index_of_name(std::string_view name) {
  if (name.empty() || name.size() > 9 || (name.size() > 1 && name[0] == '0')) return -1;
  long value = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

class PathReader {
 public:
  explicit PathReader(std::string_view text) : text_(text) {}

  bool read(bool bracket_first, JsonPath& out) {
    if (text_.empty()) return true;
    if (text_[0] == '[') {
      if (!bracket_first) return false;
    } else if (!identifier(out)) {
      return false;
    }
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '.') {
        ++pos_;
        if (!identifier(out)) return false;
      } else if (c == '[') {
        ++pos_;
        if (!bracket(out)) return false;
      } else {
        return false;
      }
    }
    return true;
  }

 private:
  bool identifier(JsonPath& out) {
    size_t start = pos_;
    if (pos_ >= text_.size() || !is_identifier_start(static_cast<unsigned char>(text_[pos_])))
      return false;
    while (pos_ < text_.size() && is_identifier_part(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    std::string name(text_.substr(start, pos_ - start));
    out.push_back({name, index_of_name(name)});
    return true;
  }

  void spaces() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }

  bool bracket(JsonPath& out) {
    spaces();
    if (pos_ >= text_.size()) return false;
    std::string name;
    char c = text_[pos_];
    if (c == '\'' || c == '"') {
      if (!quoted(c, name)) return false;
    } else if (c >= '0' && c <= '9') {
      long value = 0;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
        if (value < 1000000000) value = value * 10 + (text_[pos_] - '0');
        ++pos_;
      }
      name = std::to_string(value);
    } else {
      return false;
    }
    spaces();
    if (pos_ >= text_.size() || text_[pos_] != ']') return false;
    ++pos_;
    out.push_back({name, index_of_name(name)});
    return true;
  }

  bool quoted(char quote, std::string& name) {
    ++pos_;
    while (pos_ < text_.size()) {
      char c = text_[pos_++];
      if (c == quote) return true;
      if (c == '\n' || c == '\r') return false;
      if (c != '\\') {
        name += c;
        continue;
      }
      if (pos_ >= text_.size()) return false;
      char e = text_[pos_++];
      switch (e) {
        case 'n': name += '\n'; break;
        case 't': name += '\t'; break;
        case 'r': name += '\r'; break;
        case 'b': name += '\b'; break;
        case 'f': name += '\f'; break;
        case 'v': name += '\v'; break;
        case '0': name += '\0'; break;
        default: name += e;
      }
    }
    return false;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

bool parse_path(std::string_view utf8, bool bracket_first, JsonPath& out) {
  out.clear();
  return PathReader(utf8).read(bracket_first, out);
}

PathStep index_step(long index) { return {std::to_string(index), index >= 0 ? index : -1}; }

LookupResult look_up(JsonObject::State& state, const JsonPath& path, size_t steps) {
  if (!state.defined) return {path.empty() ? Lookup::missing : Lookup::error, nullptr};
  Json* node = &state.value;
  steps = std::min(steps, path.size());
  for (size_t i = 0; i < steps; ++i) {
    const PathStep& step = path[i];
    if (node->is_null()) return {Lookup::error, nullptr};
    Json* next = nullptr;
    if (node->is_object()) {
      auto it = node->find(step.name);
      if (it != node->end()) next = &*it;
    } else if (node->is_array()) {
      if (step.index >= 0 && static_cast<size_t>(step.index) < node->size()) next = &(*node)[step.index];
    }
    if (next == nullptr) {
      // A member of nothing cannot be read: only the last step may be missing.
      return {i + 1 == steps ? Lookup::missing : Lookup::error, nullptr};
    }
    node = next;
  }
  return {Lookup::found, node};
}

Json* place_for(JsonObject::State& state, const JsonPath& path) {
  if (path.empty()) {
    state.defined = true;
    return &state.value;
  }
  LookupResult parent = look_up(state, path, path.size() - 1);
  if (parent.kind != Lookup::found) return nullptr;
  Json& node = *parent.node;
  const PathStep& last = path.back();
  if (node.is_object()) return &node[last.name];
  if (node.is_array()) {
    if (last.index < 0 || last.index > max_new_index) return nullptr;
    if (static_cast<size_t>(last.index) >= node.size()) {
      while (node.size() <= static_cast<size_t>(last.index)) node.push_back(nullptr);
    }
    return &node[last.index];
  }
  return nullptr;
}

}  // namespace sd
