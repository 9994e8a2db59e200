#include "src/ui/tab_table.h"

#include "src/app/page_titles.h"
#include "src/http/text.h"
#include "src/protocol/codec.h"
#include "src/script/json_object.h"

namespace sd {

namespace {

// The digit of one character of the table body. Characters that are not hexadecimal digits
// are not rejected: they give whatever value the arithmetic gives.
int table_digit(unsigned char c) {
  if (c < 'A') return c - 48;
  if (c < 'a') return c - 55;
  return c - 87;
}

std::string ascii_upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

}  // namespace

std::string decode_tab_table(std::string_view text, std::string_view key) {
  constexpr std::size_t check_length = 9;
  const std::string check = ascii_upper(middle(md5_hex_lower(key), 3, check_length));
  if (check.size() != check_length || text.size() < check_length ||
      text.substr(text.size() - check_length) != check) {
    return {};
  }
  const std::string_view body = text.substr(0, text.size() - check_length);
  const auto constant = static_cast<unsigned char>(table_scramble_constant & 0xFF);

  std::string out;
  out.reserve(body.size() / 2 + 1);
  for (std::size_t i = 0; i < body.size(); i += 2) {
    int value = table_digit(static_cast<unsigned char>(body[i]));
    if (i + 1 < body.size()) value = value * 16 + table_digit(static_cast<unsigned char>(body[i + 1]));
    const auto byte = static_cast<unsigned char>(static_cast<unsigned>(value) & 0xFF);
    const auto plain = static_cast<char>(byte ^ constant);
    if (plain == '\0') break;
    out.push_back(plain);
  }
  return out;
}

std::string replace_pairs(std::string_view text, std::span<const ReplacePair> pairs, long start,
                          long count, bool ignore_case) {
  std::string current(text);
  if (start < 1) start = 1;
  for (const ReplacePair& pair : pairs) {
    if (pair.find.empty()) continue;
    const auto size = static_cast<long>(current.size());
    if (start > size) continue;
    std::string next;
    next.reserve(current.size());
    long from = 1;  // first byte (1-based) not yet copied
    long pos = find(current, pair.find, start, ignore_case);
    long done = 0;
    while (pos != -1 && (count <= 0 || done < count)) {
      next.append(current, static_cast<std::size_t>(from - 1), static_cast<std::size_t>(pos - from));
      next.append(pair.replacement);
      from = pos + static_cast<long>(pair.find.size());
      ++done;
      pos = from > size ? -1 : find(current, pair.find, from, ignore_case);
    }
    next.append(current, static_cast<std::size_t>(from - 1), std::string::npos);
    current = std::move(next);
  }
  return current;
}

std::array<std::string, page_count> read_page_addresses(std::string_view tab_address_json) {
  const ReplacePair unquote[] = {{"\"", ""}};
  const std::string table = replace_pairs(tab_address_json, unquote);
  const std::string plain = decode_tab_table(table, table_key);
  std::array<std::string, page_count> addresses;
  JsonObject json;
  json.parse(plain);
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    addresses[i] = json.get_text("[0]['" + std::string(page_titles[i]) + "']", false);
  }
  json.clear();
  return addresses;
}

}  // namespace sd
