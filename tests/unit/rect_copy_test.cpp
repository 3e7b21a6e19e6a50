#include "effect/render/rect_copy.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// 8 x 6 surfaces at 24 bits whose pixels carry their own coordinates.
struct Pair {
  Pair() : a(8 * 6 * 3), b(8 * 6 * 3, 0xEE), src{a.data(), 8, 6}, dst{b.data(), 8, 6} {
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) PixelAddress(src, 24, x, y)[0] = static_cast<std::uint8_t>(y * 16 + x);
  }
  std::uint8_t Dst(int x, int y) { return PixelAddress(dst, 24, x, y)[0]; }
  std::vector<std::uint8_t> a, b;
  PixelSurface src, dst;
};

TEST(CopyRect, CopiesAndClipsOnEverySide) {
  Pair p;
  CopyRect(24, p.dst, 1, 2, 3, 2, p.src, 4, 1);
  EXPECT_EQ(p.Dst(1, 2), 0x14);
  EXPECT_EQ(p.Dst(3, 3), 0x26);
  EXPECT_EQ(p.Dst(4, 2), 0xEE);
  EXPECT_EQ(p.Dst(1, 4), 0xEE);

  // Negative destination corner: the part left of and above the surface is cut,
  // and the source moves with it.
  Pair q;
  CopyRect(24, q.dst, -2, -1, 4, 3, q.src, 0, 0);
  EXPECT_EQ(q.Dst(0, 0), 0x12);
  EXPECT_EQ(q.Dst(1, 1), 0x23);
  EXPECT_EQ(q.Dst(2, 0), 0xEE);

  // Past the source's right and bottom edges.
  Pair r;
  CopyRect(24, r.dst, 0, 0, 8, 6, r.src, 6, 4);
  EXPECT_EQ(r.Dst(1, 1), 0x57);
  EXPECT_EQ(r.Dst(2, 0), 0xEE);
  EXPECT_EQ(r.Dst(0, 2), 0xEE);

  Pair none;
  CopyRect(24, none.dst, 8, 0, 4, 4, none.src, 0, 0);
  CopyRect(16, PixelSurface{nullptr, 8, 6}, 0, 0, 4, 4, none.src, 0, 0);
  CopyRect(8, none.dst, 0, 0, 4, 4, none.src, 0, 0);
  EXPECT_EQ(none.b, std::vector<std::uint8_t>(8 * 6 * 3, 0xEE));
}

TEST(FillBlack, ClearsEveryByteInsideTheSurfaceOnly) {
  std::vector<std::uint8_t> m(5 * 4 * 4, 0xFF);
  const PixelSurface s = {m.data(), 5, 4};
  FillBlack(32, s, 3, -1, 9, 2);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x)
      for (int c = 0; c < 4; ++c)
        EXPECT_EQ(PixelAddress(s, 32, x, y)[c], (x >= 3 && y == 0) ? 0 : 0xFF) << x << "," << y << "," << c;
}

}  // namespace
