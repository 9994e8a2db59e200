#pragma once
// The page-address table that the account server sends with init, and the text helper that
// strips its enclosing quotes. Qt-free.
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "src/app/app_state.h"

namespace sd {

// Unscrambles a page-address table: the hexadecimal body is checked against its last nine
// characters (characters 3 to 11 of the key's lower-case MD5 hex, upper-cased, compared
// byte for byte), read two digits at a time (an odd final digit is a byte of its own),
// each byte XORed with the table constant, and cut at the first zero byte.
// A table whose check does not match gives the empty text.
std::string decode_tab_table(std::string_view text, std::string_view key);

struct ReplacePair {
  std::string_view find;
  std::string_view replacement;
};

// Applies each pair in turn to the result of the previous one, replacing from the 1-based
// start position (0 counts as 1) at most count occurrences (count 0 or below: all of them).
// A pair whose find text is empty changes nothing. Searching follows the GBK character
// boundaries; ignore_case folds ASCII letters only.
std::string replace_pairs(std::string_view text, std::span<const ReplacePair> pairs,
                          long start = 1, long count = 0, bool ignore_case = false);

// The 31 page addresses, in page order, from init's wzp_url text (with or without its enclosing
// quotes): the quotes removed, the table unscrambled with the table key and read as JSON at
// "[0]['<title>']". A missing or damaged table leaves every address empty; a title missing
// from the table leaves its page's address empty.
std::array<std::string, page_count> read_page_addresses(std::string_view tab_address_json);

}  // namespace sd
