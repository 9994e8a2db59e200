#include "server/page_table.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <fstream>
#include <sstream>

#include "src/app/page_titles.h"
#include "src/http/code_page.h"
#include "src/protocol/codec.h"

namespace sd {

PageAddresses demo_page_addresses(const std::string& host) {
  PageAddresses out;
  for (std::size_t i = 0; i < page_titles.size(); ++i)
    out.push_back("http://" + host + "/pages/" + std::to_string(i + 1) + ".html");
  return out;
}

std::optional<PageAddresses> load_page_table(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read page table " + path;
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  nlohmann::json doc = nlohmann::json::parse(text.str(), nullptr, false);
  if (doc.is_array() && !doc.empty()) doc = doc[0];
  if (doc.is_discarded() || !doc.is_object()) {
    error = "page table " + path + " is not a JSON object of page titles and addresses";
    return std::nullopt;
  }
  PageAddresses out;
  for (const auto title : page_titles) {
    const std::string name = local_to_utf8(title);
    const auto it = doc.find(name);
    if (it == doc.end() || !it->is_string()) {
      error = "page table " + path + " has no address (text) for the page \"" + name + "\"";
      return std::nullopt;
    }
    out.push_back(it->get<std::string>());
  }
  return out;
}

std::string scramble_page_table(const PageAddresses& addresses) {
  nlohmann::ordered_json table = nlohmann::ordered_json::object();
  for (std::size_t i = 0; i < page_titles.size(); ++i)
    table[local_to_utf8(page_titles[i])] = i < addresses.size() ? addresses[i] : std::string();
  const std::string plain = utf8_to_local(nlohmann::ordered_json::array({table}).dump(
      -1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
  const auto constant = static_cast<unsigned char>(table_scramble_constant & 0xFF);
  std::string scrambled = plain;
  for (char& c : scrambled) c = static_cast<char>(static_cast<unsigned char>(c) ^ constant);
  const std::string digest = md5_hex_lower(table_key);
  std::string check = digest.size() >= 11 ? digest.substr(2, 9) : std::string();
  for (char& c : check) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return hex_encode(scrambled) + check;
}

}  // namespace sd
