#pragma once
// A settings file with the rules of the Windows profile (INI) functions, over GBK bytes.
//
// Reading: sections "[name]" and keys "key=value"; names match without regard to ASCII case
// (two-byte characters compare exactly); blanks around names and values are dropped, and so is
// one pair of matching quotes (" or ') around a value; the first matching key wins; a value is
// cut to buffer_size - 1 bytes. A missing file, section or key reads as "".
//
// Writing: an existing key's line is replaced, a new key follows the last entry of its section,
// a new section goes at the end; every other byte of the file stays as it was. The whole file
// is written to a temporary file beside it and renamed over it, with owner-only permissions, so
// an interrupted write never leaves a damaged file. Lines end in CR LF.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sd::platform {

std::string read_profile_string(const std::string& path, std::string_view section,
                                std::string_view key, std::size_t buffer_size = 10240);

// Writes the entries in order, as one replacement of the file. A value ends at its first zero
// byte. False (and the file untouched) when a name is empty, when a section, key or value holds
// a CR or LF, when a key holds "=" or begins with "[", or when the file cannot be written.
bool write_profile_strings(const std::string& path, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& entries);
bool write_profile_string(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value);

}  // namespace sd::platform
