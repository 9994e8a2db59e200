// Narrow literals in Qt code are local text too, and meet Qt only through the one conversion.
#include <QString>

#include <gtest/gtest.h>

#include "src/ui/qt_text.h"

using namespace Qt::Literals::StringLiterals;

namespace sd {
namespace {

TEST(LocalTextInQtCode, NarrowLiteralsAreGbkAndConvertBothWays) {
  EXPECT_EQ(std::string("中"), std::string("\xD6\xD0"));
  EXPECT_EQ(std::string("错误："), std::string("\xB4\xED\xCE\xF3\xA3\xBA"));
  EXPECT_EQ(to_qstring("中"), u"中"_s);
  EXPECT_EQ(to_local(u"错误：本机联网异常，请检查!"_s), std::string("错误：本机联网异常，请检查!"));
}

}  // namespace
}  // namespace sd
