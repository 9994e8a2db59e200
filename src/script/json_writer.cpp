#include "src/script/json_writer.h"

#include <double-conversion/double-conversion.h>

#include <charconv>
#include <cmath>

namespace sd {
namespace {

bool escaped_as_unicode(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || (c >= 0x600 && c <= 0x604) ||
         c == 0x70F || c == 0x17B4 || c == 0x17B5 || (c >= 0x200C && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202F) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF ||
         (c >= 0xFFF0 && c <= 0xFFFF);
}

void write_unicode_escape(char32_t c, std::string& out) {
  static constexpr char digits[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += digits[(c >> shift) & 0xF];
}

// Length of the UTF-8 sequence starting with lead, and its code point; 1 and the byte itself
// for a stray byte (the library only holds valid UTF-8, so this is a safety net).
size_t decode_utf8(std::string_view s, size_t i, char32_t& c) {
  auto b = static_cast<unsigned char>(s[i]);
  size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || i + len > s.size()) {
    c = b;
    return 1;
  }
  c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
  for (size_t k = 1; k < len; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return len;
}

void write_string(std::string_view s, std::string& out) {
  out += '"';
  for (size_t i = 0; i < s.size();) {
    char32_t c;
    size_t len = decode_utf8(s, i, c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default:
        if (escaped_as_unicode(c))
          write_unicode_escape(c, out);
        else
          out.append(s.substr(i, len));
    }
    i += len;
  }
  out += '"';
}

}  // namespace

double number_of(const Json& value) {
  if (value.is_number_float()) return value.get<double>();
  if (value.is_number_unsigned()) return static_cast<double>(value.get<std::uint64_t>());
  if (value.is_number_integer()) return static_cast<double>(value.get<std::int64_t>());
  return 0;
}

std::string js_number_text(double number) {
  if (!std::isfinite(number)) return "null";
  char buffer[64];
  double_conversion::StringBuilder builder(buffer, sizeof buffer);
  double_conversion::DoubleToStringConverter::EcmaScriptConverter().ToShortest(number, &builder);
  return builder.Finalize();
}

std::string number_text_13(double number) {
  if (number == 0) number = 0;  // no "-0"
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 13);
  return std::string(buffer, result.ptr);
}

void write_json(const Json& value, std::string& out) {
  switch (value.type()) {
    case Json::value_t::boolean:
      out += value.get<bool>() ? "true" : "false";
      break;
    case Json::value_t::number_float:
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
      out += js_number_text(number_of(value));
      break;
    case Json::value_t::string:
      write_string(value.get_ref<const std::string&>(), out);
      break;
    case Json::value_t::array: {
      out += '[';
      bool first = true;
      for (const auto& item : value) {
        if (!first) out += ',';
        first = false;
        write_json(item, out);
      }
      out += ']';
      break;
    }
    case Json::value_t::object: {
      out += '{';
      bool first = true;
      for (auto it = value.begin(); it != value.end(); ++it) {
        if (!first) out += ',';
        first = false;
        write_string(it.key(), out);
        out += ':';
        write_json(it.value(), out);
      }
      out += '}';
      break;
    }
    default:
      out += "null";
  }
}

}  // namespace sd
