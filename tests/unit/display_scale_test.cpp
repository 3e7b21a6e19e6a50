// Drawn larger on a high-DPI display, a frame must be the logical frame
// enlarged: over a desktop that is itself the logical desktop enlarged (with a
// few more columns and rows of another colour beyond it), the window at scale
// k equals the window at scale 1 with every pixel a k x k square, byte for byte
// after conversion, and the columns and rows beyond the last whole logical
// pixel show the backdrop. Checked after every frame, at every depth, on both
// backdrops, full screen and in preview, composed in full and incrementally.
#include <gtest/gtest.h>

#include <string>

#include "frame_renderer.h"

namespace {

RgbImage Enlarged(const RgbImage& small, std::int32_t k, std::int32_t width, std::int32_t height) {
  RgbImage big;
  big.width = width;
  big.height = height;
  big.rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint8_t* to = &big.rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      if (x / k >= small.width || y / k >= small.height) {  // beyond the last whole logical pixel
        to[0] = 250, to[1] = 20, to[2] = 200;
        continue;
      }
      const std::uint8_t* from = &small.rgb[(static_cast<std::size_t>(y / k) * small.width + x / k) * 3];
      to[0] = from[0], to[1] = from[1], to[2] = from[2];
    }
  return big;
}

// The first pixel (x, y) where big is not small enlarged, "" when none; beyond
// small's enlargement big must equal strip.
std::string Mismatch(const RgbImage& small, const RgbImage& big, const RgbImage& strip, std::int32_t k) {
  for (std::int32_t y = 0; y < big.height; ++y)
    for (std::int32_t x = 0; x < big.width; ++x) {
      const bool inside = x / k < small.width && y / k < small.height;
      const RgbImage& want = inside ? small : strip;
      const std::int32_t wx = inside ? x / k : x, wy = inside ? y / k : y;
      const std::uint8_t* a = &big.rgb[(static_cast<std::size_t>(y) * big.width + x) * 3];
      const std::uint8_t* b = &want.rgb[(static_cast<std::size_t>(wy) * want.width + wx) * 3];
      if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) return std::to_string(x) + "," + std::to_string(y);
    }
  return "";
}

void ExpectEnlargement(RenderSetup logical, std::int32_t k, std::int32_t extra, bool incremental, int frames) {
  const auto sheet = ReadFileBytes(std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp");
  const RgbImage desktop = TestDesktop(logical.screenWidth, logical.screenHeight);
  RenderSetup large = logical;
  large.scale = k;
  large.screenWidth = logical.screenWidth * k + extra;
  large.screenHeight = logical.screenHeight * k + extra;
  large.previewWidth = logical.previewWidth * k + extra;
  large.previewHeight = logical.previewHeight * k + extra;
  FrameRenderer small, big;
  ASSERT_TRUE(StartRenderer(small, logical, sheet, desktop));
  ASSERT_TRUE(StartRenderer(big, large, sheet, Enlarged(desktop, k, large.screenWidth, large.screenHeight)));
  // What the window shows beyond the drawn picture: the backdrop there, read
  // from the large scene's own snapshot (so at 16 bits as that depth holds it).
  const bool preview = logical.previewFlag == PreviewOn;
  const std::int32_t offset = preview ? FieldMargin * k : 0;
  const RgbImage backdrop =
      logical.backdropMode == BackdropDesktop
          ? SurfacePicture(big.scene->surfaces.snapshot, large.depth, offset, offset, big.window.width, big.window.height)
          : Enlarged(RgbImage{1, 1, {0, 0, 0}}, big.window.width, big.window.width, big.window.height);
  for (int frame = 1; frame <= frames; ++frame) {
    if (incremental) {
      RenderChangedFrame(small);
      RenderChangedFrame(big);
    } else {
      RenderFrame(small);
      RenderFrame(big);
    }
    const std::string at = Mismatch(WindowPicture(small), WindowPicture(big), backdrop, k);
    ASSERT_EQ(at, "") << "frame " << frame << ": the large window differs at " << at;
  }
}

TEST(DisplayScale, FrameIsTheLogicalFrameEnlarged) {
  for (std::int32_t depth : {16, 24, 32})
    for (std::int32_t mode : {BackdropDesktop, BackdropBlack})
      for (std::int32_t preview : {PreviewOff, PreviewOn})
        for (bool incremental : {false, true}) {
          SCOPED_TRACE("depth " + std::to_string(depth) + ", backdrop " + std::to_string(mode) + ", preview " +
                       std::to_string(preview) + (incremental ? ", incremental" : ", full"));
          RenderSetup s;
          s.depth = depth;
          s.screenWidth = 160;
          s.screenHeight = 120;
          s.spriteCount = 200;
          s.backdropMode = mode;
          s.previewFlag = preview;
          s.previewWidth = 50;
          s.previewHeight = 37;
          s.seed = 777u + static_cast<std::uint32_t>(depth + mode + 10 * preview);
          ExpectEnlargement(s, 2, 1, incremental, 45);
        }
}

TEST(DisplayScale, ThreeTimesWithTheMostLeftOver) {
  RenderSetup s;
  s.screenWidth = 120;
  s.screenHeight = 90;
  s.spriteCount = 150;
  ExpectEnlargement(s, 3, 2, true, 45);
}

}  // namespace
