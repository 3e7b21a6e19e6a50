// Golden frames: the animation rendered natively from a fixed seed and desktop,
// compared pixel by pixel with committed pictures in tests/golden/.
//
// On a mismatch the test writes NAME_actual.png and NAME_diff.png (differing
// pixels red over a dimmed copy of the expected picture) into
// build/native/golden-out/ and says how many pixels differ. After a deliberate
// change of the look, re-record every picture with
//   scripts/record-golden
// and review the new pictures before committing them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "frame_renderer.h"
#include "png_io.h"

namespace {

bool Recording() {
  const char* v = std::getenv("GYREWELL_RECORD_GOLDEN");
  return v != nullptr && v[0] == '1';
}

void ExpectGolden(const std::string& name, const RgbImage& actual) {
  const std::string expectedPath = std::string(GYREWELL_SOURCE_DIR) + "/tests/golden/" + name + ".png";
  if (Recording()) {
    ASSERT_TRUE(WritePng(expectedPath, actual)) << expectedPath;
    return;
  }
  RgbImage expected;
  ASSERT_TRUE(ReadPng(expectedPath, expected)) << "missing " << expectedPath << " (scripts/record-golden makes it)";
  ASSERT_EQ(expected.width, actual.width);
  ASSERT_EQ(expected.height, actual.height);
  RgbImage diff = expected;
  std::size_t differing = 0;
  for (std::size_t i = 0; i < expected.rgb.size(); i += 3) {
    const bool same = expected.rgb[i] == actual.rgb[i] && expected.rgb[i + 1] == actual.rgb[i + 1] &&
                      expected.rgb[i + 2] == actual.rgb[i + 2];
    for (int c = 0; c < 3; ++c) diff.rgb[i + c] = static_cast<std::uint8_t>(same ? diff.rgb[i + c] / 4 : (c == 0) * 255);
    differing += !same;
  }
  if (differing != 0) {
    const std::string out = std::string(GYREWELL_GOLDEN_OUT) + "/" + name;
    std::system((std::string("mkdir -p ") + GYREWELL_GOLDEN_OUT).c_str());
    WritePng(out + "_actual.png", actual);
    WritePng(out + "_diff.png", diff);
    ADD_FAILURE() << name << ": " << differing << " pixels differ; see " << out << "_actual.png and _diff.png";
  }
}

// Runs frames 1..last and checks the window after each frame named in `check`.
void RenderAndCompare(const std::string& name, const RenderSetup& setup, std::initializer_list<int> check) {
  FrameRenderer renderer;
  const auto sheet = ReadFileBytes(std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp");
  ASSERT_TRUE(StartRenderer(renderer, setup, sheet, TestDesktop(setup.screenWidth, setup.screenHeight)));
  int frame = 0;
  for (int wanted : check) {
    while (frame < wanted) {
      RenderFrame(renderer);
      ++frame;
    }
    ExpectGolden(name + "_frame" + std::to_string(frame), WindowPicture(renderer));
  }
}

RenderSetup Small(std::int32_t depth, std::int32_t mode) {
  RenderSetup s;
  s.depth = depth;
  s.screenWidth = 320;
  s.screenHeight = 200;
  s.spriteCount = 120;
  s.backdropMode = mode;
  s.seed = 20261209;
  return s;
}

// The first frame shows the desktop and the pit only: every slot starts beyond
// the edges. By frame 40 sprites have entered and some are fading.
TEST(GoldenFrames, DesktopBackdropAtEachDepth) {
  RenderAndCompare("desktop32", Small(32, 1), {1, 40});
  RenderAndCompare("desktop24", Small(24, 1), {40});
  RenderAndCompare("desktop16", Small(16, 1), {1, 40});
}

TEST(GoldenFrames, BlackBackdropHasNoPit) { RenderAndCompare("black32", Small(32, 2), {1, 40}); }

TEST(GoldenFrames, PreviewGeometry) {
  RenderSetup s = Small(32, 1);
  s.screenWidth = 640;
  s.screenHeight = 480;
  s.previewFlag = 1;
  RenderAndCompare("preview32", s, {1, 25});
}

}  // namespace
