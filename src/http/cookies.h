#pragma once
// Cutting and merging cookie texts ("a=1; b=2") and header values.
#include <string>
#include <string_view>
#include <vector>

namespace sd {

// The marker "#引号" in either marker stands for a double quote.
std::string text_between(std::string_view text, std::string_view start_marker,
                         std::string_view end_marker, long start = 1, bool ignore_case = false);

// Merges received into kept; both are rewritten (kept = merged, received = without spaces).
std::string merge_cookies(std::string& kept, std::string& received);

std::string cookie_name(std::string_view entry);
bool has_cookie_named(const std::vector<std::string>& list, std::string_view name);
std::string remove_duplicates(std::string_view text, std::string_view separator);
long find_in_list(const std::vector<std::string>& list, std::string_view text);

}  // namespace sd
