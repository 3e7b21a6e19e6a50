#include "effect/render/mask_blend.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Three separate surfaces of different widths, so that each one is addressed
// with its own row length.
struct Scene {
  explicit Scene(int bitsPerPixel) : depth(bitsPerPixel) {
    for (int i = 0; i < 3; ++i) {
      memory[i].assign(static_cast<std::size_t>(widths[i] * 4 * depth / 8), 0);
      surface[i] = PixelSurface{memory[i].data(), widths[i], 4};
    }
  }
  std::uint8_t* At(int which, int x, int y) { return PixelAddress(surface[which], depth, x, y); }
  void Set(int which, int x, int y, std::uint32_t v) {
    for (int i = 0; i < depth / 8; ++i) At(which, x, y)[i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  std::uint32_t Get(int which, int x, int y) {
    std::uint32_t v = 0;
    for (int i = 0; i < depth / 8; ++i) v |= static_cast<std::uint32_t>(At(which, x, y)[i]) << (8 * i);
    return v;
  }
  // One pixel: destination (1, 2) of a 5-wide surface, source (3, 1) of a 7-wide
  // one, mask (0, 3) of a 3-wide one.
  std::uint32_t BlendOne(std::uint32_t d, std::uint32_t s, std::uint32_t m) {
    Set(0, 1, 2, d);
    Set(1, 3, 1, s);
    Set(2, 0, 3, m);
    MaskBlend(depth, surface[0], 1, 2, 1, 1, surface[1], 3, 1, surface[2], 0, 3);
    return Get(0, 1, 2);
  }
  int depth;
  int widths[3] = {5, 7, 3};
  Bytes memory[3];
  PixelSurface surface[3];
};

std::uint32_t Rgb16(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r << 10 | g << 5 | b; }

TEST(MaskBlend, WorkedValuesAtSixteenBits) {
  Scene s(16);
  EXPECT_EQ(s.BlendOne(Rgb16(0, 0, 0), Rgb16(31, 31, 31), 16), Rgb16(16, 16, 16));
  EXPECT_EQ(s.BlendOne(0, 0, 16), Rgb16(1, 1, 1)) << "a partial mask never gives black";
  EXPECT_EQ(s.BlendOne(Rgb16(31, 31, 31), Rgb16(31, 31, 31), 16), Rgb16(31, 31, 31));
  EXPECT_EQ(s.BlendOne(Rgb16(31, 0, 7), Rgb16(0, 31, 20), 8), Rgb16(23, 8, 11));
  EXPECT_EQ(s.BlendOne(0x8000 | Rgb16(3, 4, 5), 0x8000, 16) & 0x8000, 0u) << "a partial blend clears bit 15";
}

TEST(MaskBlend, MaskValueIsTheBlueChannel) {
  Scene s(16);
  EXPECT_EQ(s.BlendOne(0x1234, 0x7FFF, 0xFFE0), 0x1234u) << "blue bits 0: unchanged whatever green and red say";
  EXPECT_EQ(s.BlendOne(0x1234, 0xABCD, 0x801F), 0xABCDu) << "blue bits 31: a full copy, bit 15 included";
  Scene t(24);
  EXPECT_EQ(t.BlendOne(0x102030, 0x405060, 0xFFFF00), 0x102030u);
  EXPECT_EQ(t.BlendOne(0x102030, 0x405060, 0x0000FF), 0x405060u);
}

TEST(MaskBlend, WorkedValuesAtTwentyFourAndThirtyTwoBits) {
  for (int depth : {24, 32}) {
    Scene s(depth);
    EXPECT_EQ(s.BlendOne(0x000000, 0xFFFFFF, 128), 0x808080u) << depth;
    EXPECT_EQ(s.BlendOne(0xFFFFFF, 0x000000, 128), 0x7F7F7Fu) << depth;
    EXPECT_EQ(s.BlendOne(0xFFFFFF, 0xFFFFFF, 1), 0xFEFEFEu) << depth;
    EXPECT_EQ(s.BlendOne(0x000000, 0x000000, 200), 0x010101u) << depth;
  }
  Scene s(32);
  EXPECT_EQ(s.BlendOne(0xAB000000, 0xCDFFFFFF, 100) >> 24, 0xABu) << "a partial blend keeps the fourth byte";
  EXPECT_EQ(s.BlendOne(0xAB000000, 0xCD123456, 255), 0xCD123456u) << "a full mask copies all four bytes";
  EXPECT_EQ(s.BlendOne(0xAB000000, 0xCD123456, 0), 0xAB000000u);
}

TEST(MaskBlend, PartialMasksStayInsideOneTo254) {
  // Every destination, source and partial mask byte: results lie in 1..254.
  const int width = 256;
  Bytes dst(width * 3), src(width * 3), mask(width * 3);
  PixelSurface d{dst.data(), width, 1}, s{src.data(), width, 1}, k{mask.data(), width, 1};
  for (int j = 0; j < width; ++j) src[3 * j] = src[3 * j + 1] = src[3 * j + 2] = static_cast<std::uint8_t>(j);
  std::uint32_t low = 255, high = 0;
  for (int dv = 0; dv < 256; ++dv) {
    for (int m = 1; m < 255; ++m) {
      std::fill(dst.begin(), dst.end(), static_cast<std::uint8_t>(dv));
      std::fill(mask.begin(), mask.end(), static_cast<std::uint8_t>(m));
      MaskBlend(24, d, 0, 0, width, 1, s, 0, 0, k, 0, 0);
      for (std::uint8_t v : dst) {
        low = std::min<std::uint32_t>(low, v);
        high = std::max<std::uint32_t>(high, v);
      }
    }
  }
  EXPECT_EQ(low, 1u);
  EXPECT_EQ(high, 254u);
}

TEST(MaskBlend, RectanglesInsideOneSheet) {
  // As the animation uses it: destination, source and mask are three separate
  // cells of the same surface.
  for (int depth : {16, 24, 32}) {
    const int width = 40;
    Bytes memory(static_cast<std::size_t>(width * 10 * depth / 8), 0);
    PixelSurface sheet{memory.data(), width, 10};
    const int bytes = depth / 8;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 3; ++x) {
        std::uint8_t* src = PixelAddress(sheet, depth, 10 + x, 5 + y);
        std::uint8_t* msk = PixelAddress(sheet, depth, 20 + x, 1 + y);
        for (int i = 0; i < bytes; ++i) src[i] = 0x11;
        msk[0] = (x == 1) ? 0xFF : 0x00;  // middle column full, the rest transparent
      }
    }
    PixelAddress(sheet, depth, 5, 2)[0] = 0x77;  // just right of the destination
    MaskBlend(depth, sheet, 2, 2, 3, 3, sheet, 10, 5, sheet, 20, 1);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(PixelAddress(sheet, depth, 2 + x, 2 + y)[0], x == 1 ? 0x11 : 0x00) << depth << " at " << x << "," << y;
    EXPECT_EQ(PixelAddress(sheet, depth, 5, 2)[0], 0x77) << depth;
  }
}

TEST(MaskBlend, NothingForEmptyRectanglesOrOtherDepths) {
  Scene s(24);
  s.Set(0, 0, 0, 0x123456);
  s.Set(1, 0, 0, 0xFFFFFF);
  s.Set(2, 0, 0, 0x0000FF);
  MaskBlend(24, s.surface[0], 0, 0, 0, 1, s.surface[1], 0, 0, s.surface[2], 0, 0);
  MaskBlend(24, s.surface[0], 0, 0, 1, -3, s.surface[1], 0, 0, s.surface[2], 0, 0);
  MaskBlend(8, s.surface[0], 0, 0, 1, 1, s.surface[1], 0, 0, s.surface[2], 0, 0);
  EXPECT_EQ(s.Get(0, 0, 0), 0x123456u);
}

}  // namespace
