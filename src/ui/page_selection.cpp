#include "src/ui/page_selection.h"

#include "src/app/page_titles.h"

namespace sd {

int page_index_of(std::string_view title) {
  for (std::size_t i = 0; i < page_titles.size(); ++i) {
    if (page_titles[i] == title) return static_cast<int>(i);
  }
  return -1;
}

int PageSelection::select(std::string_view title) {
  const int index = page_index_of(title);
  if (index < 0) return -1;
  current_ = index;
  if (index == 0 || page_loaded_[static_cast<std::size_t>(index)]) {
    page_loaded_[static_cast<std::size_t>(index)] = true;
    return -1;
  }
  page_loaded_[static_cast<std::size_t>(index)] = true;
  return index;
}

bool PageSelection::loaded(int index) const {
  return index >= 0 && index < page_count && page_loaded_[static_cast<std::size_t>(index)];
}

}  // namespace sd
