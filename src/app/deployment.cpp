#include "src/app/deployment.h"

#include <charconv>
#include <fstream>
#include <map>
#include <utility>

#include "deploy/deployment_settings.h"
#include "src/http/code_page.h"

namespace sd {
namespace {

// Every key a deployment file holds; each is required exactly once.
constexpr const char* kKeys[] = {
    "app_title",      "login_subtitle",      "init_address",       "website_host",
    "probe_address",  "chat_host",           "server_port",        "request_key",
    "scramble_constant", "app_title_check",  "login_subtitle_check", "init_address_check",
    "request_key_check",
};

bool is_known_key(const std::string& key) {
  for (const char* known : kKeys)
    if (key == known) return true;
  return false;
}

std::string strip(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Decimal or 0x-prefixed hexadecimal, the whole text, within [low, high].
bool parse_number(const std::string& text, unsigned low, unsigned high, unsigned& value) {
  int base = 10;
  std::size_t start = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    start = 2;
  }
  if (start >= text.size()) return false;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  if (*first == '+' || *first == '-') return false;
  const auto [end, error] = std::from_chars(first, last, value, base);
  return error == std::errc() && end == last && value >= low && value <= high;
}

}  // namespace

std::optional<DeploymentSettings> read_deployment_settings(const std::string& path,
                                                           std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open the deployment file";
    return std::nullopt;
  }
  std::map<std::string, std::string> values;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // UTF-8 mark
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string content = strip(line);
    if (content.empty() || content[0] == '#') continue;
    const auto equals = content.find('=');
    if (equals == std::string::npos || content.find('\0') != std::string::npos) {
      error = where + "expected \"key = value\"";
      return std::nullopt;
    }
    const std::string key = strip(content.substr(0, equals));
    const std::string value = strip(content.substr(equals + 1));
    if (key.empty()) {
      error = where + "expected \"key = value\"";
      return std::nullopt;
    }
    if (!is_known_key(key)) {
      error = where + "unknown key \"" + key + "\"";
      return std::nullopt;
    }
    if (values.count(key) != 0) {
      error = where + "\"" + key + "\" is set twice";
      return std::nullopt;
    }
    if (value.empty()) {
      error = where + "\"" + key + "\" has an empty value";
      return std::nullopt;
    }
    values[key] = value;
  }
  if (in.bad()) {
    error = path + ": cannot read the deployment file";
    return std::nullopt;
  }
  for (const char* key : kKeys) {
    if (values.count(key) == 0) {
      error = path + ": missing required key \"" + std::string(key) + "\"";
      return std::nullopt;
    }
  }

  DeploymentSettings settings;
  unsigned port = 0;
  if (!parse_number(values["server_port"], 1, 65535, port)) {
    error = path + ": server_port must be a number from 1 to 65535";
    return std::nullopt;
  }
  unsigned constant = 0;
  if (!parse_number(values["scramble_constant"], 0, 255, constant)) {
    error = path + ": scramble_constant must be one byte (0 to 255, or 0x00 to 0xFF)";
    return std::nullopt;
  }
  Deployment& d = settings.file.deployment;
  d.app_title = utf8_to_local(values["app_title"]);
  d.login_subtitle = utf8_to_local(values["login_subtitle"]);
  d.init_address = utf8_to_local(values["init_address"]);
  d.website_host = utf8_to_local(values["website_host"]);
  d.probe_address = utf8_to_local(values["probe_address"]);
  d.chat_host = utf8_to_local(values["chat_host"]);
  d.server_port = static_cast<int>(port);
  settings.file.request_key = utf8_to_local(values["request_key"]);
  settings.file.scramble_constant = static_cast<std::uint8_t>(constant);
  settings.app_title_check = utf8_to_local(values["app_title_check"]);
  settings.login_subtitle_check = utf8_to_local(values["login_subtitle_check"]);
  settings.init_address_check = utf8_to_local(values["init_address_check"]);
  settings.request_key_check = utf8_to_local(values["request_key_check"]);
  return settings;
}

std::optional<DeploymentFile> load_deployment_file(const std::string& path, std::string& error) {
  auto settings = read_deployment_settings(path, error);
  if (!settings) return std::nullopt;
  return std::move(settings->file);
}

}  // namespace sd
