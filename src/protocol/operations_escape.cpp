// Escaping of the values that an operation inserts into its request text.
#include <cstdio>

#include "src/protocol/operations.h"

namespace sd {

std::string escape_request_value(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto byte = static_cast<unsigned char>(value[i]);
    if (byte >= 0x80) {  // a two-byte character: both bytes pass untouched
      out += value[i];
      if (i + 1 < value.size()) out += value[++i];
    } else if (byte == '\\') {
      out += "\\\\";
    } else if (byte == '"') {
      out += "\\%22";
    } else if (byte == '%') {
      out += "%25";
    } else if (byte < 0x20 || byte == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04X", byte);
      out += code;
    } else {
      out += value[i];
    }
  }
  return out;
}

}  // namespace sd
