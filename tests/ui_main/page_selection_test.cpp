#include "src/ui/page_selection.h"

#include <gtest/gtest.h>

#include <vector>

#include "src/app/page_titles.h"

namespace sd {
namespace {

TEST(PageSelection, EachPageIsLoadedOnceBySelection) {
  struct Case {
    const char* name;
    std::vector<std::string> titles;  // selected in turn
    std::vector<int> navigated;       // pages navigated, in order
    int current;
  };
  auto t = [](int i) { return std::string(page_titles[static_cast<std::size_t>(i)]); };
  const Case cases[] = {
      {"3, 7, 3", {t(3), t(7), t(3)}, {3, 7}, 3},
      {"page 0 never again", {t(0), t(4), t(0)}, {4}, 0},
      {"unknown title changes nothing", {t(2), "不存在", ""}, {2}, 2},
      {"all pages", {}, {}, 30},
  };
  for (const Case& c : cases) {
    PageSelection selection;
    EXPECT_EQ(selection.current(), -1);
    std::vector<std::string> titles = c.titles;
    if (titles.empty()) {
      for (int i = 0; i < page_count; ++i) titles.push_back(t(i));
      for (int i = 0; i < page_count; ++i) titles.push_back(t(i));
    }
    std::vector<int> navigated;
    for (const std::string& title : titles) {
      const int index = selection.select(title);
      if (index >= 0) navigated.push_back(index);
    }
    if (c.titles.empty()) {
      ASSERT_EQ(navigated.size(), 30u) << c.name;
      for (int i = 0; i < page_count; ++i) EXPECT_TRUE(selection.loaded(i)) << i;
    } else {
      EXPECT_EQ(navigated, c.navigated) << c.name;
    }
    EXPECT_EQ(selection.current(), c.current) << c.name;
  }
}

}  // namespace
}  // namespace sd
