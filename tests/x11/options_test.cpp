// The X11 program's decisions before it draws: what the command line means
// where options meet, and the drawing scale for a window.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "x11/options.h"
#include "unix/scale.h"

namespace {

bool Parse(std::initializer_list<const char*> arguments, X11Options& o) {
  std::vector<const char*> argv = {"gyrewell"};
  argv.insert(argv.end(), arguments);
  char error[128];
  return ParseOptions(static_cast<int>(argv.size()), argv.data(), o, error, sizeof error);
}

// The settings program appends --window-id to a command that says --root;
// the daemon's own modes take the window id wherever it stands.
TEST(X11Options, AWindowIdWinsOverRootAndWindowWhereverItStands) {
  X11Options o;
  ASSERT_TRUE(Parse({"--root", "-count", "33", "--window-id", "0x200D5F"}, o));
  EXPECT_EQ(o.target, TargetWindowId);
  EXPECT_EQ(o.windowId, 0x200D5Fu);
  EXPECT_EQ(o.spriteCount, 33);
  ASSERT_TRUE(Parse({"-window-id", "12", "-root"}, o));
  EXPECT_EQ(o.target, TargetWindowId);
  ASSERT_TRUE(Parse({"-window-id", "12", "-window"}, o));
  EXPECT_EQ(o.target, TargetWindowId);
  // Between the two others the last one counts.
  ASSERT_TRUE(Parse({"-window", "-root"}, o));
  EXPECT_EQ(o.target, TargetRoot);
  ASSERT_TRUE(Parse({"-root", "-window"}, o));
  EXPECT_EQ(o.target, TargetOwnWindow);
}

TEST(X11Options, ScaleOneToEightAndFpsTurnedOffAgain) {
  X11Options o;
  ASSERT_TRUE(Parse({}, o));
  EXPECT_EQ(o.scale, 0);
  ASSERT_TRUE(Parse({"--scale", "8", "-fps", "--no-fps"}, o));
  EXPECT_EQ(o.scale, 8);
  EXPECT_FALSE(o.showFps);
  EXPECT_FALSE(Parse({"-scale", "0"}, o));
  EXPECT_FALSE(Parse({"-scale", "9"}, o));
  EXPECT_FALSE(Parse({"-scale", "2x"}, o));
}

TEST(X11Scale, ScaleOptionThenXftDpiThenTheLargeWindowRule) {
  // -scale wins, whatever the size and the DPI.
  EXPECT_EQ(ChooseScale(3, 96, 535, 300), 3);
  EXPECT_EQ(ChooseScale(1, 192, 3840, 2160), 1);
  // Xft.dpi through the Windows rule: 200 % and 300 % scale, 150 % does not.
  EXPECT_EQ(ChooseScale(0, 192, 3840, 2160), 2);
  EXPECT_EQ(ChooseScale(0, 288, 3840, 2160), 3);
  EXPECT_EQ(ChooseScale(0, 144, 3840, 2160), 1);
  // A desktop that says 96 DPI means 100 %, on a large screen too.
  EXPECT_EQ(ChooseScale(0, 96, 5120, 2880), 1);
  // No Xft.dpi: 2 only for a window wider or taller than 2560.
  EXPECT_EQ(ChooseScale(0, 0, 2561, 1440), 2);
  EXPECT_EQ(ChooseScale(0, 0, 1440, 2561), 2);
  EXPECT_EQ(ChooseScale(0, 0, 2560, 1600), 1);
  // An absurd DPI is held to the largest scale.
  EXPECT_EQ(ChooseScale(0, 96 * 40, 100000, 100000), LargestScale);
}

// A settings program's preview pane at 100 % and, in pixels twice as many, at
// 200 %; a window of its own at its first size; the smallest field drawn at 2.
TEST(X11Scale, WindowsTooSmallForAScreenAtTheDpiScaleStayAtOne) {
  EXPECT_EQ(ChooseScale(0, 192, 535, 300), 1);
  EXPECT_EQ(ChooseScale(0, 192, 1070, 600), 1);
  EXPECT_EQ(ChooseScale(0, 192, 1024, 640), 1);
  EXPECT_EQ(ChooseScale(0, 192, 2 * SmallestScaledWidth, 2 * SmallestScaledHeight), 2);
  EXPECT_EQ(ChooseScale(0, 192, 2 * SmallestScaledWidth - 1, 2 * SmallestScaledHeight), 1);
  EXPECT_EQ(ChooseScale(0, 288, 1920, 1080), 3);
  EXPECT_EQ(ChooseScale(0, 288, 1917, 1080), 1);
}

TEST(X11Scale, XftDpiValues) {
  EXPECT_EQ(ReadDpi("192"), 192);
  EXPECT_EQ(ReadDpi(" 144.5 "), 144);
  EXPECT_EQ(ReadDpi("96."), 96);
  for (const char* bad : {"", " ", "abc", "-96", "96x", "9.6.1", "0", "99999999999999", ".5"})
    EXPECT_EQ(ReadDpi(bad), 0) << '"' << bad << '"';
  EXPECT_EQ(ReadDpi(nullptr), 0);
}

}  // namespace
