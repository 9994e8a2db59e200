#include "src/ui/qt_text.h"

#include <cstring>

#include "src/http/code_page.h"

namespace sd {

QString to_qstring(std::string_view local) {
  const std::string utf16 = to_utf16(local);
  std::size_t units = utf16.size() / 2;
  // Up to the first zero unit (to_utf16 ends with one).
  for (std::size_t i = 0; i < units; ++i) {
    if (utf16[2 * i] == 0 && utf16[2 * i + 1] == 0) {
      units = i;
      break;
    }
  }
  QString result(static_cast<qsizetype>(units), Qt::Uninitialized);
  for (std::size_t i = 0; i < units; ++i) {
    const auto low = static_cast<unsigned char>(utf16[2 * i]);
    const auto high = static_cast<unsigned char>(utf16[2 * i + 1]);
    result[static_cast<qsizetype>(i)] = QChar(static_cast<char16_t>(low | (high << 8)));
  }
  return result;
}

std::string to_local(const QString& text) {
  std::string utf16;
  utf16.reserve(static_cast<std::size_t>(text.size()) * 2 + 2);
  for (QChar c : text) {
    const char16_t unit = c.unicode();
    utf16.push_back(static_cast<char>(unit & 0xFF));
    utf16.push_back(static_cast<char>(unit >> 8));
  }
  return from_utf16(utf16);
}

}  // namespace sd
