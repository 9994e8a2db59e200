#include "src/ui/desktop.h"

#include <QDesktopServices>
#include <QUrl>

#include "src/ui/qt_text.h"

namespace sd {

namespace {
std::function<bool(const QString&)>& hook() {
  static std::function<bool(const QString&)> instance;
  return instance;
}
}  // namespace

bool open_address(std::string_view local_address) {
  const QString address = to_qstring(local_address);
  if (hook()) return hook()(address);
  return QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

void set_open_address_hook(std::function<bool(const QString&)> h) { hook() = std::move(h); }

}  // namespace sd
