#pragma once
// The one meeting point of local text (GBK bytes) and Qt's QString.
#include <QString>

#include <string>
#include <string_view>

namespace sd {

// Local text up to its first zero byte, as a QString.
QString to_qstring(std::string_view local);
// A QString as local text; characters GBK cannot hold are replaced.
std::string to_local(const QString& text);

}  // namespace sd
