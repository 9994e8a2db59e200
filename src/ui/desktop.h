#pragma once
// Opening an address with the desktop's default handler (browser or messenger).
#include <QString>

#include <functional>
#include <string_view>

namespace sd {

// Opens a local-text address; false when the desktop could not hand it over.
bool open_address(std::string_view local_address);

// Tests: receive the address instead of opening it. An empty function restores the desktop.
void set_open_address_hook(std::function<bool(const QString&)> hook);

}  // namespace sd
