#include "src/ui/remembered_login.h"

#include <unistd.h>

#include <climits>
#include <vector>

#include "src/app/page_titles.h"
#include "src/platform/profile_file.h"
#include "src/protocol/codec.h"

namespace sd {

namespace {

constexpr std::string_view hex_prefix = "hex:";
const char* const remember_key = "记住密码";
const char* const account_key = "账号";
const char* const password_key = "密码";

bool carried_plain(std::string_view bytes) {
  if (bytes.empty()) return true;
  if (bytes.find('\0') != std::string_view::npos || bytes.find('\r') != std::string_view::npos ||
      bytes.find('\n') != std::string_view::npos) {
    return false;
  }
  auto awkward_end = [](char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '"' || c == '\'';
  };
  if (awkward_end(bytes.front()) || awkward_end(bytes.back())) return false;
  return bytes.substr(0, hex_prefix.size()) != hex_prefix;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool decode_hex(std::string_view text, std::string& out) {
  if (text.size() % 2 != 0) return false;
  std::string bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = hex_digit(text[i]), low = hex_digit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  out = std::move(bytes);
  return true;
}

std::string upper_hex(std::string_view bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

std::string text_of(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace

std::string config_ini_path() {
  std::vector<char> buffer(PATH_MAX + 1);
  if (::getcwd(buffer.data(), buffer.size()) == nullptr) return {};
  std::string dir(buffer.data());
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir + "config.ini";
}

std::string stored_password_form(std::string_view password) {
  const std::string scrambled = rc4_transform(text_of(password), table_key);
  if (carried_plain(scrambled)) return scrambled;
  return std::string(hex_prefix) + upper_hex(scrambled);
}

std::string password_from_stored(std::string_view stored) {
  std::string bytes;
  if (stored.substr(0, hex_prefix.size()) != hex_prefix ||
      !decode_hex(stored.substr(hex_prefix.size()), bytes)) {
    bytes = std::string(stored);
  }
  return text_of(rc4_transform(bytes, table_key));
}

RememberedLogin read_remembered_login(const std::string& path, const std::string& section) {
  RememberedLogin result;
  if (path.empty()) return result;
  if (platform::read_profile_string(path, section, remember_key) != "真") return result;
  result.remember = true;
  result.account = platform::read_profile_string(path, section, account_key);
  result.password = password_from_stored(platform::read_profile_string(path, section, password_key));
  return result;
}

bool write_remembered_login(const std::string& path, const std::string& section, bool remember,
                            const std::string& account, const std::string& password) {
  if (path.empty()) return false;
  if (!remember) return platform::write_profile_strings(path, section, {{remember_key, "假"}});
  return platform::write_profile_strings(
      path, section,
      {{remember_key, "真"}, {account_key, account}, {password_key, stored_password_form(password)}});
}

}  // namespace sd
