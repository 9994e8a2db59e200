#include "src/platform/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

namespace sd::platform {

namespace {

bool is_lead_byte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters fold; the two bytes of a double-byte character compare exactly.
bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (is_lead_byte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// Position of c at a character boundary, or npos.
std::size_t find_char(std::string_view text, char c) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == c) return i;
    if (is_lead_byte(static_cast<unsigned char>(text[i]))) ++i;
  }
  return std::string_view::npos;
}

std::string_view text_of(std::string_view bytes) {
  const std::size_t zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

struct Line {
  std::string_view text;  // without its line break
  std::size_t begin = 0;  // offset of the line in the file
  std::size_t end = 0;    // offset after its line break
};

std::vector<Line> lines_of(std::string_view file) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < file.size()) {
    std::size_t nl = file.find('\n', pos);
    const std::size_t next = nl == std::string_view::npos ? file.size() : nl + 1;
    std::string_view text = file.substr(pos, (nl == std::string_view::npos ? file.size() : nl) - pos);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    lines.push_back({text, pos, next});
    pos = next;
  }
  return lines;
}

// The section name of a "[name]" line, or nullopt for other lines.
std::optional<std::string_view> section_name(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::string_view rest = line.substr(1);
  const std::size_t close = find_char(rest, ']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(rest.substr(0, close));
}

struct Entry {
  std::string_view key, value;
};

std::optional<Entry> entry_of(std::string_view line) {
  const std::size_t eq = find_char(line, '=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Entry{trim(line.substr(0, eq)), trim(line.substr(eq + 1))};
}

std::optional<std::string> read_file(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return std::nullopt;
  std::string content;
  char buffer[8192];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return content;
}

bool write_all(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool replace_file(const std::string& path, std::string_view content) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && write_all(fd, content) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool has_line_break(std::string_view text) {
  return text.find('\r') != std::string_view::npos || text.find('\n') != std::string_view::npos;
}

}  // namespace

std::string read_profile_string(const std::string& path, std::string_view section,
                                std::string_view key, std::size_t buffer_size) {
  if (buffer_size == 0) return {};
  const std::optional<std::string> file = read_file(path);
  if (!file) return {};
  section = trim(section);
  key = trim(key);
  bool inside = false;
  for (const Line& line : lines_of(*file)) {
    if (auto name = section_name(line.text)) {
      inside = same_name(*name, section);
      continue;
    }
    if (!inside) continue;
    auto entry = entry_of(line.text);
    if (!entry || !same_name(entry->key, key)) continue;
    std::string_view value = entry->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    value = text_of(value);
    if (value.size() > buffer_size - 1) value = value.substr(0, buffer_size - 1);
    return std::string(value);
  }
  return {};
}

bool write_profile_strings(const std::string& path, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& entries) {
  section = trim(text_of(section));
  if (section.empty() || has_line_break(section) || find_char(section, ']') != std::string_view::npos) {
    return false;
  }
  for (const auto& [raw_key, raw_value] : entries) {
    const std::string_view key = trim(text_of(raw_key));
    if (key.empty() || has_line_break(key) || find_char(key, '=') != std::string_view::npos ||
        key.front() == '[' || has_line_break(text_of(raw_value))) {
      return false;
    }
  }

  std::string file;
  if (auto existing = read_file(path)) {
    file = std::move(*existing);
  } else if (::access(path.c_str(), F_OK) == 0) {
    return false;  // there but unreadable: never replace what could not be read
  }

  for (const auto& [raw_key, raw_value] : entries) {
    const std::string_view key = trim(text_of(raw_key));
    const std::string line = std::string(key) + "=" + std::string(text_of(raw_value));
    bool inside = false, section_found = false, done = false;
    std::size_t insert_at = std::string::npos;  // after the section's last non-blank line
    for (const Line& l : lines_of(file)) {
      if (auto name = section_name(l.text)) {
        if (inside) break;  // the section ended without the key
        inside = same_name(*name, section);
        if (inside) {
          section_found = true;
          insert_at = l.end;
        }
        continue;
      }
      if (!inside) continue;
      if (auto entry = entry_of(l.text); entry && same_name(entry->key, key)) {
        const std::size_t text_end = l.begin + l.text.size();
        file.replace(l.begin, text_end - l.begin, line);
        done = true;
        break;
      }
      if (!trim(l.text).empty()) insert_at = l.end;
    }
    if (done) continue;
    if (section_found) {
      std::string addition = line + "\r\n";
      if (insert_at > 0 && file[insert_at - 1] != '\n') addition = "\r\n" + addition;
      file.insert(insert_at, addition);
    } else {
      if (!file.empty() && file.back() != '\n') file += "\r\n";
      file += "[" + std::string(section) + "]\r\n" + line + "\r\n";
    }
  }
  return replace_file(path, file);
}

bool write_profile_string(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value) {
  return write_profile_strings(path, section, {{std::string(key), std::string(value)}});
}

}  // namespace sd::platform
