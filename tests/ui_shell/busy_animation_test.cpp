// The busy animation: 124 x 124, 12 frames of 80 ms, looping without end.
#include <QImageReader>
#include <QMovie>

#include <gtest/gtest.h>

#include "tests/qt_support/qt_environment.h"

static void load_shell_assets() { Q_INIT_RESOURCE(shell_assets); }

using namespace Qt::Literals::StringLiterals;

namespace sd {
namespace {

TEST(BusyAnimation, TwelveFramesOfEightyMillisecondsLooping) {
  load_shell_assets();
  QMovie movie(u":/shell/busy.gif"_s);
  ASSERT_TRUE(movie.isValid());
  EXPECT_EQ(movie.frameCount(), 12);
  EXPECT_EQ(movie.loopCount(), -1);  // without end
  ASSERT_TRUE(movie.jumpToFrame(0));
  EXPECT_EQ(movie.currentImage().size(), QSize(124, 124));
  // The delays as the file holds them (QMovie's own figure counts down while it plays).
  QImageReader reader(u":/shell/busy.gif"_s);
  for (int i = 0; i < 12; ++i) {
    ASSERT_FALSE(reader.read().isNull()) << i;
    EXPECT_EQ(reader.nextImageDelay(), 80) << i;
  }
}

}  // namespace
}  // namespace sd
