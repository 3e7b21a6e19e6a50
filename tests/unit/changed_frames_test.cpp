// Composing only what changed must be invisible: run the full recomposition and
// the incremental one side by side from the same seed and compare, after every
// frame, the WorkSurface (margins included) and the window, byte for byte. A
// paint of part of the window in the middle forces the next frame to be
// presented in full.
#include <gtest/gtest.h>

#include <string>

#include "frame_renderer.h"

namespace {

void RunSideBySide(RenderSetup setup, int frames) {
  const auto sheet = ReadFileBytes(std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp");
  const RgbImage desktop = TestDesktop(setup.screenWidth, setup.screenHeight);
  FrameRenderer full, changed;
  ASSERT_TRUE(StartRenderer(full, setup, sheet, desktop));
  ASSERT_TRUE(StartRenderer(changed, setup, sheet, desktop));
  const std::int32_t w = full.window.width, h = full.window.height;
  for (int frame = 1; frame <= frames; ++frame) {
    if (frame == frames / 2) {
      // The window thread paints part of the window with the desktop copy.
      PaintWindow(full, w / 4, h / 4, w / 2, h / 2);
      PaintWindow(changed, w / 4, h / 4, w / 2, h / 2);
    }
    RenderFrame(full);
    RenderChangedFrame(changed);
    ASSERT_EQ(full.workMemory[0], changed.workMemory[0]) << "WorkSurface after frame " << frame;
    ASSERT_EQ(full.windowMemory, changed.windowMemory) << "window after frame " << frame;
  }
}

RenderSetup Field(std::int32_t depth, std::int32_t mode, std::int32_t preview) {
  RenderSetup s;
  s.depth = depth;
  s.screenWidth = 400;
  s.screenHeight = 300;
  s.spriteCount = 200;
  s.backdropMode = mode;
  s.previewFlag = preview;
  s.seed = 31337u + static_cast<std::uint32_t>(depth * 10 + mode + 100 * preview);
  return s;
}

TEST(ChangedFrames, SameAsFullRecompositionFullScreen) {
  for (std::int32_t depth : {16, 24, 32})
    for (std::int32_t mode : {1, 2}) {
      SCOPED_TRACE("depth " + std::to_string(depth) + ", backdrop " + std::to_string(mode));
      RunSideBySide(Field(depth, mode, 0), 300);
    }
}

TEST(ChangedFrames, SameAsFullRecompositionInPreview) {
  for (std::int32_t depth : {16, 24, 32})
    for (std::int32_t mode : {1, 2}) {
      SCOPED_TRACE("depth " + std::to_string(depth) + ", backdrop " + std::to_string(mode));
      RunSideBySide(Field(depth, mode, 1), 300);
    }
}

// In a preview smaller than the pit, the pit reaches into the margin, where
// every frame blends it again over itself; the incremental frames must too.
TEST(ChangedFrames, SameAsFullRecompositionWhenThePitOverhangsThePicture) {
  for (std::int32_t depth : {16, 24, 32}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    RenderSetup s = Field(depth, 1, 1);
    s.previewWidth = 20;
    s.previewHeight = 10;
    RunSideBySide(s, 120);
  }
}

TEST(ChangedFrames, PresentsFarLessThanTheWholePicture) {
  RenderSetup s = Field(32, 1, 0);
  s.screenWidth = 1920;
  s.screenHeight = 1080;
  FrameRenderer scene;
  ASSERT_TRUE(StartRenderer(scene, s, ReadFileBytes(std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp"),
                         TestDesktop(1, 1)));
  for (int frame = 0; frame < 60; ++frame) RenderChangedFrame(scene);
  ComposeScene(*scene.scene);
  const FramePresentation& p = PresentScene(*scene.scene);
  std::int64_t area = 0;
  for (std::int32_t i = 0; i < p.count; ++i) area += std::int64_t{p.blocks[i].width} * p.blocks[i].height;
  EXPECT_GT(area, 0);
  EXPECT_LT(area, 1920 * 1080 / 4) << "200 sprites and the pit touch a small part of the screen";
}

}  // namespace
