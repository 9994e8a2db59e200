#pragma once
#include <string>
#include <string_view>

namespace sd::platform {
// The 16-byte MD5 digest of data, or the empty string when it cannot be computed.
std::string md5_digest(std::string_view data);
}  // namespace sd::platform
