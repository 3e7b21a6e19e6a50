// The committed sprite sheet (resources/sheet.bmp): that the generator still
// makes it byte for byte, and that it holds what the effect reads from it.
// Expectations are taken from the file and the layout, not from the drawing
// code, except for the regeneration check itself.
#include <gtest/gtest.h>

#include "source_files.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "effect/render/bitmap_import.h"
#include "resource_art.h"

namespace {

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// The sheet as read back from its file, in picture coordinates (y down).
class Sheet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { file = new Bytes(ReadFile("resources/sheet.bmp")); }
  static void TearDownTestSuite() {
    delete file;
    file = nullptr;
  }
  void SetUp() override { ASSERT_EQ(file->size(), 111670u) << "resources/sheet.bmp missing or cut"; }

  static int Index(int x, int y) { return (*file)[1078 + (383 - y) * 288 + x]; }
  static Rgb Entry(int i) { return Rgb{(*file)[54 + 4 * i + 2], (*file)[54 + 4 * i + 1], (*file)[54 + 4 * i]}; }
  static Rgb At(int x, int y) { return Entry(Index(x, y)); }
  // Mask value as the blend reads it: the blue component.
  static int Mask(int kind, int level, int x, int y) { return At(24 * kind + x, 24 * (level + 1) + y).b; }
  static int PitMask(int x, int y) { return At(96 + x, 288 + y).b; }

  // The grey the palette offers nearest to v; between two equally near ones
  // the darker, so that a mask never ends up more opaque than its rule.
  static int NearestGrey(int v) {
    int best = -1;
    for (int i = 0; i < 256; ++i) {
      const Rgb e = Entry(i);
      if (e.r != e.g || e.g != e.b) continue;
      if (best < 0 || std::abs(e.r - v) < std::abs(best - v) || (std::abs(e.r - v) == std::abs(best - v) && e.r < best))
        best = e.r;
    }
    return best;
  }

  static Bytes* file;
};
Bytes* Sheet::file = nullptr;

const int MissingGreys[10] = {130, 137, 148, 156, 164, 169, 182, 207, 215, 236};

TEST_F(Sheet, GeneratorStillMakesTheCommittedFile) {
  std::vector<SheetPicture> sheet(1);
  DrawSheet(sheet.data());
  Bytes made(SheetFileSize);
  EncodeSheetBitmap(sheet[0], made.data());
  ASSERT_EQ(made.size(), file->size());
  std::size_t firstDifference = made.size();
  for (std::size_t i = 0; i < made.size() && firstDifference == made.size(); ++i)
    if (made[i] != (*file)[i]) firstDifference = i;
  EXPECT_EQ(firstDifference, made.size()) << "run make_resources resources and commit the result";
}

TEST_F(Sheet, HeaderDescribesA288By384BottomUp8BitPicture) {
  const Bytes& b = *file;
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(U32(b, 2), 111670u);
  EXPECT_EQ(U32(b, 6), 0u);
  EXPECT_EQ(U32(b, 10), 1078u);
  EXPECT_EQ(U32(b, 14), 40u);
  EXPECT_EQ(U32(b, 18), 288u);
  EXPECT_EQ(U32(b, 22), 384u);  // positive: bottom row first
  EXPECT_EQ(U16(b, 26), 1u);
  EXPECT_EQ(U16(b, 28), 8u);
  EXPECT_EQ(U32(b, 30), 0u);
  EXPECT_EQ(U32(b, 34), 110592u);
  EXPECT_EQ(U32(b, 38), 0u);
  EXPECT_EQ(U32(b, 42), 0u);
  EXPECT_EQ(U32(b, 46), 0u);  // all 256 colours
  EXPECT_EQ(U32(b, 50), 0u);
}

TEST_F(Sheet, PaletteIsAscendingGreysThenTenColours) {
  int expected = 0;
  for (int i = 0; i < 246; ++i, ++expected) {
    for (int m : MissingGreys)
      if (expected == m) ++expected;
    EXPECT_TRUE(Entry(i) == (Rgb{expected, expected, expected})) << "entry " << i;
  }
  EXPECT_EQ(expected, 256);
  for (int i = 246; i < 256; ++i) {
    const Rgb e = Entry(i);
    EXPECT_FALSE(e.r == e.g && e.g == e.b) << "entry " << i << " is grey";
    for (int j = 246; j < i; ++j) EXPECT_FALSE(Entry(j) == e) << "entries " << j << " and " << i;
  }
  for (int i = 0; i < 256; ++i) EXPECT_EQ((*file)[54 + 4 * i + 3], 0) << "reserved byte of entry " << i;
}

TEST_F(Sheet, MasksAreGreyAndEveryLevelFollowsTheFadeRule) {
  const int peaks[10] = {255, 230, 204, 179, 153, 128, 102, 77, 51, 0};
  for (int kind = 0; kind < 6; ++kind) {
    for (int level = 0; level < 10; ++level) {
      int peak = 0;
      for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
          const Rgb p = At(24 * kind + x, 24 * (level + 1) + y);
          ASSERT_TRUE(p.r == p.g && p.g == p.b) << "kind " << kind << " level " << level << " at " << x << "," << y;
          const int m0 = Mask(kind, 0, x, y);
          const int rule = level == 9 ? 0 : (m0 * (10 - level) + 5) / 10;
          ASSERT_EQ(p.b, NearestGrey(rule)) << "kind " << kind << " level " << level << " at " << x << "," << y
                                           << " from " << m0;
          if (p.b > peak) peak = p.b;
        }
      }
      EXPECT_EQ(peak, peaks[level]) << "kind " << kind << " level " << level;
    }
  }
}

TEST_F(Sheet, LevelZeroMasksHaveTheirShapesExtents) {
  struct Extent {
    int left, right, top, bottom;
    bool hard;
  };
  const Extent extents[6] = {
      {4, 18, 2, 20, true},    // rabbit face
      {3, 20, 1, 23, false},   // large head
      {6, 17, 4, 19, false},   // medium head
      {8, 15, 8, 15, false},   // small head
      {7, 15, 2, 22, true},    // carrot
      {6, 17, 6, 17, false},   // blossom
  };
  for (int kind = 0; kind < 6; ++kind) {
    int left = 24, right = -1, top = 24, bottom = -1, partial = 0;
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 24; ++x) {
        const int m = Mask(kind, 0, x, y);
        if (m == 0) continue;
        if (m != 255) ++partial;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    const Extent& e = extents[kind];
    EXPECT_EQ(left, e.left) << "kind " << kind;
    EXPECT_EQ(right, e.right) << "kind " << kind;
    EXPECT_EQ(top, e.top) << "kind " << kind;
    EXPECT_EQ(bottom, e.bottom) << "kind " << kind;
    if (e.hard) {
      EXPECT_EQ(partial, 0) << "kind " << kind << " should have a hard edge";
    } else {
      EXPECT_GT(partial, 10) << "kind " << kind << " should be anti-aliased";
    }
  }
}

TEST_F(Sheet, PitMaskFollowsTheRadialProfile) {
  const int profile[42] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                           254, 253, 251, 249, 245, 240, 232, 223, 211, 197, 181, 163, 144, 125,
                           105, 86,  69,  53,  40,  29,  20,  13,  8,   5,   3,   1,   1,   0};
  for (int d = 0; d <= 47; ++d) {
    const int want = d < 42 ? profile[d] : 0;
    const int got[4] = {PitMask(47 + d, 47), PitMask(47 - d, 47), PitMask(47, 47 + d), PitMask(47, 47 - d)};
    for (int v : got) EXPECT_NEAR(v, want, 1) << "distance " << d;
  }
  for (int y = 0; y < 96; ++y) {
    for (int x = 0; x < 96; ++x) {
      const int dx = x - 47, dy = y - 47;
      const int v = PitMask(x, y);
      const Rgb p = At(96 + x, 288 + y);
      ASSERT_TRUE(p.r == p.g && p.g == p.b);
      if (dx * dx + dy * dy > 41 * 41) {
        ASSERT_EQ(v, 0) << x << "," << y;
      }
      // Radial: the same at every mirror image that lies inside the cell.
      if (std::abs(dx) <= 47 && std::abs(dy) <= 47) {
        ASSERT_EQ(v, PitMask(47 - dx, 47 + dy)) << x << "," << y;
        ASSERT_EQ(v, PitMask(47 + dy, 47 + dx)) << x << "," << y;
      }
    }
  }
  // Off the axes the curve is taken at the true distance: (47 + 15, 47 + 20)
  // is 25 pixels out.
  EXPECT_NEAR(PitMask(62, 67), 163, 1);
  EXPECT_EQ(PitMask(0, 0), 0);
  EXPECT_EQ(PitMask(95, 95), 0);
}

TEST_F(Sheet, EverythingOutsidePicturesAndMasksIsBlack) {
  auto used = [](int x, int y) {
    if (y < 264) return x < 144;                     // pictures and masks
    if (y >= 288) return x >= 96 && x < 192;         // the pit mask
    return false;                                    // scratch and spare
  };
  for (int y = 0; y < 384; ++y)
    for (int x = 0; x < 288; ++x)
      if (!used(x, y)) {
        ASSERT_TRUE(At(x, y) == (Rgb{0, 0, 0})) << x << "," << y;
      }
}

TEST_F(Sheet, PicturesCarryTheirColours) {
  auto has = [](int kind, Rgb colour) {
    int n = 0;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x)
        if (Mask(kind, 0, x, y) > 0 && At(24 * kind + x, y) == colour) ++n;
    return n;
  };
  const Rgb white{255, 255, 255}, black{0, 0, 0};
  EXPECT_GT(has(0, white), 100);
  EXPECT_GT(has(0, black), 40);
  EXPECT_GT(has(0, Rgb{251, 168, 163}), 6);  // inner ears
  for (int kind = 1; kind <= 3; ++kind)
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) ASSERT_TRUE(At(24 * kind + x, y) == white) << kind << ": " << x << "," << y;
  EXPECT_GT(has(4, Rgb{252, 130, 2}), 30);
  EXPECT_GE(has(4, Rgb{203, 104, 1}), 4);
  EXPECT_GT(has(4, Rgb{4, 195, 36}), 8);
  EXPECT_GT(has(4, black), 30);
  EXPECT_GT(has(5, Rgb{254, 254, 204}), 40);
  for (int y = 10; y <= 13; ++y)
    for (int x = 10; x <= 13; ++x) EXPECT_TRUE(At(120 + x, y) == (Rgb{255, 185, 0})) << x << "," << y;
  EXPECT_GT(has(5, Rgb{255, 214, 83}), 12);
  // The face's outline closes the silhouette: every masked pixel next to an
  // unmasked one is black.
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      if (Mask(0, 0, x, y) == 0) continue;
      const bool edge = Mask(0, 0, x - 1, y) == 0 || Mask(0, 0, x + 1, y) == 0 || Mask(0, 0, x, y - 1) == 0 ||
                        Mask(0, 0, x, y + 1) == 0;
      if (edge) {
        EXPECT_TRUE(At(x, y) == black) << x << "," << y;
      }
    }
  }
}

// What the effect does with the file: import it into a surface larger than
// the sheet, at each display depth.
TEST_F(Sheet, ImportPlacesCellsWhereTheEffectReadsThem) {
  const int width = 300, height = 400;
  for (int depth : {16, 24, 32}) {
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(width) * height * (depth / 8), 0xAB);
    const PixelSurface surface{bits.data(), width, height};
    ASSERT_EQ(ImportBitmap(depth, surface, 0, 0, file->data(), file->size()), 0);
    auto pixel = [&](int x, int y) { return PixelAddress(surface, depth, x, y); };
    auto channels = [&](int x, int y, int* b, int* g, int* r) {
      const std::uint8_t* p = pixel(x, y);
      if (depth == 16) {
        const int w = p[0] | p[1] << 8;
        *b = w & 31;
        *g = (w >> 5) & 31;
        *r = (w >> 10) & 31;
      } else {
        *b = p[0];
        *g = p[1];
        *r = p[2];
      }
    };
    for (int kind = 0; kind < 6; ++kind) {
      for (int level = 0; level < 10; ++level) {
        for (int y = 0; y < 24; ++y) {
          for (int x = 0; x < 24; ++x) {
            int b, g, r;
            channels(24 * kind + x, 24 * (level + 1) + y, &b, &g, &r);
            ASSERT_TRUE(b == g && g == r) << depth << " bpp: kind " << kind << " level " << level;
            const int m = Mask(kind, level, x, y);
            if (depth == 16) {
              ASSERT_NEAR(b, m / 8, 1) << "kind " << kind << " level " << level << " at " << x << "," << y;
            } else {
              ASSERT_EQ(b, m);
            }
          }
        }
      }
    }
    int b, g, r;
    channels(24 * 0 + 11, 24 + 12, &b, &g, &r);  // inside the face's level-0 mask
    EXPECT_EQ(b, depth == 16 ? 31 : 255);
    channels(143, 335, &b, &g, &r);  // the pit's centre
    EXPECT_EQ(b, depth == 16 ? 31 : 255);
    channels(0, 0, &b, &g, &r);  // top-left of the picture: white around the face
    EXPECT_EQ(b, depth == 16 ? 31 : 255);
    channels(0, 383, &b, &g, &r);  // bottom-left: the black pit picture
    EXPECT_EQ(b, 0);
    // Nothing beyond the sheet is touched.
    EXPECT_EQ(pixel(288, 0)[0], 0xAB);
    EXPECT_EQ(pixel(0, 384)[0], 0xAB);
  }
}

}  // namespace
