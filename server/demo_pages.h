#pragma once
// The demo information pages: one per page title, plainly marked as sample data, UTF-8 HTML.
#include <string>

namespace sd {

// Page n (1..31) as a complete HTML document; "" for any other n.
std::string demo_page_html(int n);
// The index of all demo pages.
std::string demo_index_html();
// The download page that init announces.
std::string download_page_html(const std::string& version);

}  // namespace sd
