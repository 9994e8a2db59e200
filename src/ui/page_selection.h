#pragma once
// Which information pages have been shown and which browser the user selected last. Qt-free.
#include <array>
#include <string_view>

#include "src/app/app_state.h"

namespace sd {

// Index of the page with that title, or -1 when no page has it.
int page_index_of(std::string_view title);

class PageSelection {
 public:
  // Page 0 is navigated when the window is built; the others on their first selection.
  // Returns the index of the page to navigate now, or -1 when nothing is to be loaded
  // (an unknown title changes nothing; a page shown before keeps what it shows).
  int select(std::string_view title);
  // Page of the browser selected last, or -1 before the first selection.
  int current() const { return current_; }
  bool loaded(int index) const;

 private:
  std::array<bool, page_count> page_loaded_{};
  int current_ = -1;
};

}  // namespace sd
