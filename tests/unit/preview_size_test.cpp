// A preview's field is its client area, which a host may make any size: the
// Display control panel's thumbnail, or the desktop's own window (programs
// that show a saver as the wallpaper hand it that). Whatever the size, the
// drawing scale and the depth, the frames stay inside the surfaces laid out
// for it, and where the desktop copy ends the backdrop is black, not what
// sprites drew there before. Each surface is an allocation of its own, so
// under AddressSanitizer a write past one also ends the test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame_renderer.h"

namespace {

constexpr std::int32_t ScreenWidth = 640, ScreenHeight = 400;

bool Inside(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const PixelSurface& s) {
  return w >= 0 && h >= 0 && x >= 0 && y >= 0 && x + w <= s.width && y + h <= s.height;
}

// Every pixel of the window that no cell of the last (full) frame covers
// shows the backdrop: the snapshot, black beyond it.
void ExpectBackdropOutsideTheCells(const FrameRenderer& r) {
  const Animation& a = r.scene->animation;
  const FrameSurfaces& s = r.scene->surfaces;
  const PresentBlock shown = FramePresentBlock(a);
  const std::int32_t w = r.window.width, h = r.window.height, bytes = s.depth / 8, margin = FieldMargin * a.scale;
  std::vector<bool> covered(static_cast<std::size_t>(w) * h, false);
  for (std::int32_t i = 0; i < a.drawnCount; ++i) {
    const DrawnCell& c = a.drawn[i];
    for (std::int32_t y = c.y - shown.sourceY; y < c.y - shown.sourceY + c.height; ++y)
      for (std::int32_t x = c.x - shown.sourceX; x < c.x - shown.sourceX + c.width; ++x)
        if (x >= 0 && y >= 0 && x < w && y < h) covered[static_cast<std::size_t>(y) * w + x] = true;
  }
  const std::uint8_t black[4] = {0, 0, 0, 0};
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      if (covered[static_cast<std::size_t>(y) * w + x]) continue;
      const std::int32_t sx = x + shown.sourceX - margin, sy = y + shown.sourceY - margin;
      const std::uint8_t* expected =
          Inside(sx, sy, 1, 1, s.snapshot) ? PixelAddress(s.snapshot, s.depth, sx, sy) : black;
      ASSERT_EQ(std::memcmp(PixelAddress(r.window, s.depth, x, y), expected, static_cast<std::size_t>(bytes)), 0)
          << "window pixel (" << x << ", " << y << ") is neither backdrop nor part of this frame";
    }
  }
}

TEST(PreviewSize, AnySizeDrawsInsideItsSurfaces) {
  const auto sheet = ReadFileBytes(std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp");
  const RgbImage desktop = TestDesktop(ScreenWidth, ScreenHeight);
  // From one pixel to twice the screen: the thumbnail, one taller than the
  // screen's field allows, the screen itself and beyond.
  const SurfaceSize previews[] = {{1, 1}, {152, 112}, {152, 350}, {560, 300}, {640, 400}, {700, 460}, {1280, 800}};
  for (std::int32_t depth : {16, 24, 32}) {
    for (std::int32_t scale : {1, 2, 3}) {
      for (const SurfaceSize& preview : previews) {
        SCOPED_TRACE(std::to_string(preview.width) + "x" + std::to_string(preview.height) + " at scale " +
                     std::to_string(scale) + ", depth " + std::to_string(depth));
        RenderSetup setup;
        setup.depth = depth;
        setup.screenWidth = ScreenWidth;
        setup.screenHeight = ScreenHeight;
        setup.previewFlag = PreviewOn;
        setup.previewWidth = preview.width;
        setup.previewHeight = preview.height;
        setup.scale = scale;
        setup.seed = static_cast<std::uint32_t>(depth * 100 + scale * 10 + preview.width);
        FrameRenderer r;
        ASSERT_TRUE(StartRenderer(r, setup, sheet, desktop));
        const PixelSurface& work = r.scene->surfaces.work;
        for (int frame = 1; frame <= 40; ++frame) {
          // As the saver draws, then once in full as after a paint.
          if (frame < 40) RenderChangedFrame(r);
          else RenderFrame(r);
          const Animation& a = r.scene->animation;
          for (std::int32_t i = 0; i < a.drawnCount; ++i) {
            const DrawnCell& c = a.drawn[i];
            ASSERT_TRUE(Inside(c.x, c.y, c.width, c.height, work))
                << "frame " << frame << " drew at (" << c.x << ", " << c.y << ") " << c.width << "x" << c.height
                << " in a WorkSurface of " << work.width << "x" << work.height;
          }
          const FramePresentation& p = r.scene->presentation;
          for (std::int32_t i = 0; i < p.count; ++i) {
            const PresentBlock& b = p.blocks[i];
            ASSERT_TRUE(Inside(b.sourceX, b.sourceY, b.width, b.height, work)) << "frame " << frame;
            ASSERT_TRUE(Inside(b.windowX, b.windowY, b.width, b.height, r.window)) << "frame " << frame;
          }
        }
        ExpectBackdropOutsideTheCells(r);
      }
    }
  }
}

}  // namespace
