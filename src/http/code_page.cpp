#include "src/http/code_page.h"

#include <unicode/ucnv.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <string>

namespace sd {
namespace {

constexpr UChar kReplacement = 0xFFFD;

// An open ICU converter, closed when its owner goes. ICU converters keep conversion state,
// so each thread holds its own.
class Converter {
 public:
  explicit Converter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    converter_ = ucnv_open(name, &status);
    if (U_FAILURE(status)) converter_ = nullptr;
    if (converter_) {
      status = U_ZERO_ERROR;
      ucnv_setSubstChars(converter_, "?", 1, &status);  // unmappable characters become "?"
    }
  }
  ~Converter() {
    if (converter_) ucnv_close(converter_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  UConverter* get() const { return converter_; }

 private:
  UConverter* converter_ = nullptr;
};

// Code page 936: Windows' table (0x80 is the euro sign), never GB18030.
UConverter* gbk() {
  thread_local Converter converter("windows-936");
  return converter.get();
}

// The bytes up to, not including, the first zero byte.
std::string_view up_to_zero(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

bool is_ascii(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Bytes in the converter's character set to UTF-16; bad input becomes U+FFFD.
std::u16string decode_with(UConverter* converter, std::string_view bytes) {
  std::u16string units;
  if (bytes.empty() || !converter) return units;
  // Code page 936 and UTF-8 give at most one unit per byte; other charsets may ask for more.
  units.resize(bytes.size() + 1);
  UErrorCode status = U_ZERO_ERROR;
  ucnv_resetToUnicode(converter);
  int32_t n = ucnv_toUChars(converter, units.data(), static_cast<int32_t>(units.size()),
                            bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    units.resize(static_cast<std::size_t>(n) + 1);
    status = U_ZERO_ERROR;
    n = ucnv_toUChars(converter, units.data(), static_cast<int32_t>(units.size()), bytes.data(),
                      static_cast<int32_t>(bytes.size()), &status);
  }
  units.resize(U_FAILURE(status) ? 0 : static_cast<std::size_t>(n));
  return units;
}

// UTF-16 to the converter's character set; unmappable characters become "?".
std::string encode_with(UConverter* converter, std::u16string_view units) {
  std::string bytes;
  if (units.empty() || !converter) return bytes;
  bytes.resize(units.size() * ucnv_getMaxCharSize(converter) + 1);
  UErrorCode status = U_ZERO_ERROR;
  ucnv_resetFromUnicode(converter);
  int32_t n = ucnv_fromUChars(converter, bytes.data(), static_cast<int32_t>(bytes.size()),
                              units.data(), static_cast<int32_t>(units.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    bytes.resize(static_cast<std::size_t>(n) + 1);
    status = U_ZERO_ERROR;
    n = ucnv_fromUChars(converter, bytes.data(), static_cast<int32_t>(bytes.size()), units.data(),
                        static_cast<int32_t>(units.size()), &status);
  }
  bytes.resize(U_FAILURE(status) ? 0 : static_cast<std::size_t>(n));
  return bytes;
}

std::u16string decode_utf8(std::string_view bytes) {
  std::u16string units;
  if (bytes.empty()) return units;
  units.resize(bytes.size());  // never more units than bytes
  int32_t n = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(units.data(), static_cast<int32_t>(units.size()), &n, bytes.data(),
                       static_cast<int32_t>(bytes.size()), kReplacement, nullptr, &status);
  units.resize(U_FAILURE(status) ? 0 : static_cast<std::size_t>(n));
  return units;
}

std::string encode_utf8(std::u16string_view units) {
  std::string bytes;
  if (units.empty()) return bytes;
  bytes.resize(units.size() * 3);  // at most three bytes per unit
  int32_t n = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &n, units.data(),
                     static_cast<int32_t>(units.size()), kReplacement, nullptr, &status);
  bytes.resize(U_FAILURE(status) ? 0 : static_cast<std::size_t>(n));
  return bytes;
}

// UTF-16LE bytes to units, up to the first zero unit; a trailing odd byte is ignored.
std::u16string units_of(std::string_view utf16le) {
  std::u16string units;
  units.reserve(utf16le.size() / 2);
  for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(utf16le[i]) |
                                            static_cast<unsigned char>(utf16le[i + 1]) << 8);
    if (unit == 0) break;
    units.push_back(unit);
  }
  return units;
}

// Units to UTF-16LE bytes followed by one zero unit.
std::string bytes_of(std::u16string_view units) {
  std::string bytes;
  bytes.reserve(units.size() * 2 + 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  bytes.append(2, '\0');
  return bytes;
}

// A base character followed by a combining mark becomes the precomposed character.
std::u16string composed(std::u16string units) {
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
  if (U_FAILURE(status)) return units;
  const int32_t length = static_cast<int32_t>(units.size());
  if (unorm2_quickCheck(nfc, units.data(), length, &status) == UNORM_YES || U_FAILURE(status))
    return units;
  std::u16string out(units.size(), u'\0');  // composition never lengthens the text
  status = U_ZERO_ERROR;
  const int32_t n =
      unorm2_normalize(nfc, units.data(), length, out.data(), static_cast<int32_t>(out.size()), &status);
  if (U_FAILURE(status)) return units;
  out.resize(static_cast<std::size_t>(n));
  return out;
}

// UTF-16 and UTF-32 are no byte code pages.
bool is_byte_code_page(int code_page) {
  return code_page != 1200 && code_page != 1201 && code_page != 12000 && code_page != 12001;
}

std::u16string decode_in(std::string_view bytes, int code_page) {
  if (code_page == 0 || code_page == 936) return decode_with(gbk(), bytes);
  if (code_page == 65001) return decode_utf8(bytes);
  if (code_page < 0 || !is_byte_code_page(code_page)) return {};
  Converter other(("windows-" + std::to_string(code_page)).c_str());
  if (other.get()) return decode_with(other.get(), bytes);
  Converter cp(("cp" + std::to_string(code_page)).c_str());
  return decode_with(cp.get(), bytes);
}

std::string encode_in(std::u16string_view units, int code_page) {
  if (code_page == 0 || code_page == 936) return encode_with(gbk(), units);
  if (code_page == 65001) return encode_utf8(units);
  if (code_page < 0 || !is_byte_code_page(code_page)) return {};
  Converter other(("windows-" + std::to_string(code_page)).c_str());
  if (other.get()) return encode_with(other.get(), units);
  Converter cp(("cp" + std::to_string(code_page)).c_str());
  return encode_with(cp.get(), units);
}

}  // namespace

std::string to_utf16(std::string_view local) {
  const std::string_view text = up_to_zero(local);
  if (text.empty()) return {};
  return bytes_of(decode_with(gbk(), text));
}

std::string from_utf16(std::string_view utf16le) {
  return std::string(up_to_zero(encode_with(gbk(), composed(units_of(utf16le)))));
}

std::string decode_code_page(std::string_view text, int code_page) {
  return bytes_of(decode_in(up_to_zero(text), code_page));
}

std::string encode_code_page(std::string_view utf16le, int code_page) {
  return encode_in(units_of(utf16le), code_page);
}

std::string utf8_to_local(std::string_view utf8) {
  const std::string_view text = up_to_zero(utf8);
  if (is_ascii(text)) return std::string(text);
  return encode_with(gbk(), decode_utf8(text));
}

std::string local_to_utf8(std::string_view local) {
  const std::string_view text = up_to_zero(local);
  if (is_ascii(text)) return std::string(text);
  return encode_utf8(decode_with(gbk(), text));
}

namespace {

// A charset name as pages declare them: letters, digits and . _ : + - only. Anything else
// (an empty name opens ICU's default converter; a path would load a converter file) is refused.
bool is_charset_name(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '.' || c == '_' || c == ':' || c == '+' || c == '-';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

bool decode_named_charset(std::string_view bytes, std::string_view charset, std::string& out) {
  if (!is_charset_name(charset)) return false;
  Converter converter(std::string(charset).c_str());
  if (!converter.get()) return false;
  out = std::string(up_to_zero(encode_with(gbk(), decode_with(converter.get(), bytes))));
  return true;
}

}  // namespace sd
