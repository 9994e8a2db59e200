#pragma once
// The table of the 31 information pages that init sends as "wzp_url": a JSON array whose first
// object maps every page title to its address, as GBK bytes, each byte XORed with the table
// constant, in upper-case hexadecimal, followed by a 9-character check derived from the table key.
#include <optional>
#include <string>
#include <vector>

namespace sd {

// Addresses in page order (UTF-8).
using PageAddresses = std::vector<std::string>;

// The demo pages of this server: http://<host>/pages/<n>.html, n = 1..31.
PageAddresses demo_page_addresses(const std::string& host);

// Reads an operator's table: a JSON object title -> address (or an array whose first element is
// such an object), UTF-8, holding every page title. nullopt with a message otherwise.
std::optional<PageAddresses> load_page_table(const std::string& path, std::string& error);

// The scrambled table text as it goes into the init reply.
std::string scramble_page_table(const PageAddresses& addresses);

}  // namespace sd
