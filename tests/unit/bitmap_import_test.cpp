#include "effect/render/bitmap_import.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A BMP file image with a 40-byte header. Rows are given top first, as a person
// reads them, and stored bottom-up with four-byte padding. 8-bit pixels are
// palette indices (one int each); 24-bit pixels are 0xRRGGBB.
Bytes MakeBitmap(int bitCount, const std::vector<std::vector<std::uint32_t>>& rows, std::uint32_t colours,
                 const std::vector<std::uint32_t>& palette = {}) {
  const int height = static_cast<int>(rows.size());
  const int width = static_cast<int>(rows[0].size());
  const int stride = (width * bitCount / 8 + 3) & ~3;
  const std::size_t paletteEntries = bitCount == 8 ? (colours ? colours : 256) : colours;
  const std::size_t start = 54 + 4 * paletteEntries;
  Bytes b(start + static_cast<std::size_t>(stride) * height, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, 0xFFFFu);  // bfOffBits is not to be trusted or used
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(width));
  Put32(b, 22, static_cast<std::uint32_t>(height));
  Put16(b, 26, 1);
  Put16(b, 28, static_cast<std::uint32_t>(bitCount));
  Put32(b, 46, colours);
  for (std::size_t i = 0; i < palette.size() && i < paletteEntries; ++i) Put32(b, 54 + 4 * i, palette[i]);
  for (int r = 0; r < height; ++r) {
    const std::size_t row = start + static_cast<std::size_t>(height - 1 - r) * stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = rows[r][x];
      if (bitCount == 8) {
        b[row + x] = static_cast<std::uint8_t>(v);
      } else {
        b[row + 3 * x] = static_cast<std::uint8_t>(v);
        b[row + 3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        b[row + 3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
      }
    }
  }
  return b;
}

struct Canvas {
  Canvas(int bitsPerPixel, int width, int height, std::uint8_t fill = 0xAA)
      : depth(bitsPerPixel), memory(static_cast<std::size_t>(width * height * bitsPerPixel / 8), fill),
        surface{memory.data(), width, height} {}
  std::uint32_t Pixel(int x, int y) const {
    const std::uint8_t* p = memory.data() + (y * surface.width + x) * depth / 8;
    std::uint32_t v = 0;
    for (int i = 0; i < depth / 8; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return v;
  }
  std::int32_t Import(const Bytes& image, int x = 0, int y = 0) {
    return ImportBitmap(depth, surface, x, y, image.data(), image.size());
  }
  int depth;
  Bytes memory;
  PixelSurface surface;
};

TEST(DitherChannel, WorkedValuesAndPositions) {
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      EXPECT_EQ(DitherChannel(255, row, col), 31u);
      EXPECT_EQ(DitherChannel(248, row, col), 30u);
      EXPECT_EQ(DitherChannel(128, row, col), 15u);
      EXPECT_EQ(DitherChannel(8, row, col), 0u);
      EXPECT_EQ(DitherChannel(7, row, col), 1u);
      EXPECT_EQ(DitherChannel(0, row, col), 0u);
      const bool lit = (row == 1 && col == 2) || (row == 3 && col == 0);
      EXPECT_EQ(DitherChannel(1, row, col), lit ? 1u : 0u) << row << "," << col;
      EXPECT_EQ(DitherChannel(1, row + 4, col + 8), DitherChannel(1, row, col)) << "the pattern repeats every 4";
    }
  }
  const int expectedOnes[8] = {0, 2, 4, 8, 10, 12, 14, 16};
  for (int k = 0; k < 8; ++k) {
    int ones = 0;
    for (int row = 0; row < 4; ++row)
      for (int col = 0; col < 4; ++col) ones += static_cast<int>(DitherChannel(static_cast<std::uint32_t>(64 + k), row, col) - 7);
    EXPECT_EQ(ones, expectedOnes[k]) << "k = " << k;
  }
}

TEST(ImportBitmap, FullPaletteSheetLandsTopRowFirstAtEveryDepth) {
  // 256-entry palette (biClrUsed 0): pixel data at 1078, as in the shipped sheet.
  std::vector<std::uint32_t> palette(256);
  for (std::uint32_t i = 0; i < 256; ++i) palette[i] = i << 16 | (255 - i) << 8 | (i ^ 0x5A) | 0xFF000000u;
  const Bytes image = MakeBitmap(8, {{1, 2, 3}, {200, 201, 202}}, 0, palette);
  ASSERT_EQ(image.size(), 1078u + 2 * 4);

  Canvas c24(24, 4, 3), c32(32, 4, 3), c16(16, 4, 3);
  ASSERT_EQ(c24.Import(image), 0);
  ASSERT_EQ(c32.Import(image), 0);
  ASSERT_EQ(c16.Import(image), 0);
  for (int x = 0; x < 3; ++x) {
    for (int y = 0; y < 2; ++y) {
      const std::uint32_t index = y == 0 ? 1 + x : 200 + x;
      const std::uint32_t rgb = palette[index] & 0xFFFFFF;
      EXPECT_EQ(c24.Pixel(x, y), rgb);
      EXPECT_EQ(c32.Pixel(x, y), rgb) << "the fourth byte is 0, never the palette's reserved byte";
      const std::uint32_t expected16 = DitherChannel(rgb & 0xFF, y, x) | DitherChannel(rgb >> 8 & 0xFF, y, x) << 5 |
                                       DitherChannel(rgb >> 16, y, x) << 10;
      EXPECT_EQ(c16.Pixel(x, y), expected16);
    }
  }
  EXPECT_EQ(c24.Pixel(3, 0), 0xAAAAAAu) << "outside the picture nothing changes";
  EXPECT_EQ(c24.Pixel(0, 2), 0xAAAAAAu);
}

TEST(ImportBitmap, ShortPaletteAndTwentyFourBitLayouts) {
  // biClrUsed 16: pixel data at 54 + 64 = 118.
  std::vector<std::uint32_t> palette(16);
  for (std::uint32_t i = 0; i < 16; ++i) palette[i] = 0x010101u * (i * 16);
  const Bytes image8 = MakeBitmap(8, {{15, 0}}, 16, palette);
  EXPECT_EQ(image8.size(), 118u + 4);
  Canvas c(24, 2, 1);
  ASSERT_EQ(c.Import(image8), 0);
  EXPECT_EQ(c.Pixel(0, 0), 0xF0F0F0u);
  EXPECT_EQ(c.Pixel(1, 0), 0u);

  // 24 bits, three pixels wide: stride 12, data right after the header.
  const Bytes image24 = MakeBitmap(24, {{0x112233, 0x445566, 0x778899}, {0xAABBCC, 0xDDEEFF, 0x010203}}, 0);
  EXPECT_EQ(image24.size(), 54u + 2 * 12);
  Canvas d(24, 3, 2), e(32, 3, 2);
  ASSERT_EQ(d.Import(image24), 0);
  ASSERT_EQ(e.Import(image24), 0);
  EXPECT_EQ(d.Pixel(0, 0), 0x112233u);
  EXPECT_EQ(d.Pixel(2, 1), 0x010203u);
  EXPECT_EQ(e.Pixel(1, 1), 0xDDEEFFu);
}

TEST(ImportBitmap, SixteenBitsExtremesAndDitherAnchoredAtTheRectangle) {
  std::vector<std::uint32_t> palette = {0xFFFFFF, 0x000000, 0x070707, 0x080808, 0x010101};
  std::vector<std::vector<std::uint32_t>> rows(5, std::vector<std::uint32_t>(5, 0));
  Canvas white(16, 6, 6);
  ASSERT_EQ(white.Import(MakeBitmap(8, rows, 5, palette), 1, 1), 0);
  for (int y = 1; y < 6; ++y)
    for (int x = 1; x < 6; ++x) EXPECT_EQ(white.Pixel(x, y), 0x7FFFu);
  EXPECT_EQ(white.Pixel(0, 0), 0xAAAAu);

  for (auto& r : rows) r.assign(5, 1);
  Canvas black(16, 5, 5);
  ASSERT_EQ(black.Import(MakeBitmap(8, rows, 5, palette)), 0);
  EXPECT_EQ(black.Pixel(4, 4), 0u);

  rows = {{2, 3}};
  Canvas low(16, 2, 1);
  ASSERT_EQ(low.Import(MakeBitmap(8, rows, 5, palette)), 0);
  EXPECT_EQ(low.Pixel(0, 0), 0x0421u) << "channel 7 becomes 1";
  EXPECT_EQ(low.Pixel(1, 0), 0u) << "channel 8 becomes 0";

  // Value 1 lights (row 1, column 2) and (row 3, column 0) of the converted
  // rectangle, wherever the rectangle sits in the surface.
  rows.assign(4, std::vector<std::uint32_t>(4, 4));
  Canvas ones(16, 7, 7);
  ASSERT_EQ(ones.Import(MakeBitmap(8, rows, 5, palette), 3, 2), 0);
  for (int r = 0; r < 4; ++r)
    for (int col = 0; col < 4; ++col)
      EXPECT_EQ(ones.Pixel(3 + col, 2 + r), ((r == 1 && col == 2) || (r == 3 && col == 0)) ? 0x0421u : 0u);
}

TEST(ImportBitmap, ClipsToTheSurface) {
  std::vector<std::vector<std::uint32_t>> rows(4, std::vector<std::uint32_t>(5, 0x123456));
  const Bytes image = MakeBitmap(24, rows, 0);
  Canvas c(24, 4, 3);
  ASSERT_EQ(c.Import(image, 2, 1), 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(c.Pixel(x, y), (x >= 2 && y >= 1) ? 0x123456u : 0xAAAAAAu);

  // A start on the far edge is accepted and writes nothing; beyond it the
  // conversion refuses, which the import does not pass on.
  Canvas edge(24, 4, 3);
  const Bytes before = edge.memory;
  EXPECT_EQ(edge.Import(image, 4, 0), 0);
  EXPECT_EQ(edge.Import(image, 0, 3), 0);
  EXPECT_EQ(edge.Import(image, 5, 0), 0);
  EXPECT_EQ(edge.memory, before);

  // Position and size travel as 16 bits: x = 65536 + 1 lands at x = 1.
  Canvas wrapped(24, 4, 3);
  ASSERT_EQ(wrapped.Import(image, 65537, 0), 0);
  EXPECT_EQ(wrapped.Pixel(0, 0), 0xAAAAAAu);
  EXPECT_EQ(wrapped.Pixel(1, 0), 0x123456u);
}

TEST(ImportBitmap, RefusesMalformedFilesAndWritesNothing) {
  std::vector<std::vector<std::uint32_t>> rows(3, std::vector<std::uint32_t>(3, 7));
  const Bytes good = MakeBitmap(8, rows, 0);
  Canvas c(32, 4, 4);
  const Bytes before = c.memory;

  auto refused = [&](Bytes image, const char* why) {
    EXPECT_EQ(c.Import(image), -1) << why;
    EXPECT_EQ(c.memory, before) << why;
  };
  Bytes bad = good;
  bad[1] = 'A';
  refused(bad, "magic");
  for (std::uint32_t size : {0u, 11u, 12u, 13u, 15u, 16u, 36u, 56u, 108u, 124u}) {
    bad = good;
    Put32(bad, 14, size);
    refused(bad, "only the 40-byte header layout is read");
  }
  for (std::uint32_t bits : {1u, 4u, 16u, 32u}) {
    bad = good;
    Put16(bad, 28, bits);
    refused(bad, "bit count");
  }
  refused(Bytes(good.begin(), good.begin() + 53), "header cut short");
  refused(Bytes(good.begin(), good.begin() + 54 + 1023), "palette cut short");
  refused(Bytes(good.begin(), good.end() - 1), "last row cut short");
  bad = good;
  Put32(bad, 46, 0x40000000u);
  refused(bad, "palette larger than the file");
  bad = good;
  Put32(bad, 22, 0x7FFFFFFFu);
  refused(bad, "rows beyond the file");
  EXPECT_EQ(ImportBitmap(32, c.surface, 0, 0, nullptr, 0), -1);
}

TEST(ImportBitmap, AcceptedButUnconvertible) {
  std::vector<std::vector<std::uint32_t>> rows(2, std::vector<std::uint32_t>(2, 0x808080));
  Bytes topDown = MakeBitmap(24, rows, 0);
  Put32(topDown, 22, static_cast<std::uint32_t>(-2));
  Canvas c(24, 2, 2);
  const Bytes before = c.memory;
  EXPECT_EQ(c.Import(topDown), 0) << "a top-down picture is read as nothing, not refused";
  Canvas eight(8, 2, 2);
  EXPECT_EQ(eight.Import(MakeBitmap(24, rows, 0)), 0) << "an unsupported depth writes nothing";
  EXPECT_EQ(c.memory, before);
  EXPECT_EQ(eight.memory, Bytes(4, 0xAA));
}

TEST(ImportBitmap, IndexBeyondThePaletteReadsBlack) {
  const Bytes image = MakeBitmap(8, {{1, 2}}, 2, {0x000000, 0xFFFFFF});
  Canvas c(32, 2, 1);
  ASSERT_EQ(c.Import(image), 0);
  EXPECT_EQ(c.Pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(c.Pixel(1, 0), 0u);
}

TEST(ConvertPixels, RefusesNegativeStartsAndMissingSurfaces) {
  const std::uint8_t row[4] = {1, 2, 3, 0};
  const SourcePicture picture = {row, nullptr, 0, 1, 1, 24};
  Canvas c(24, 2, 2);
  EXPECT_EQ(ConvertPixels(24, c.surface, -1, 0, 1, 1, 0, 0, picture), -1);
  EXPECT_EQ(ConvertPixels(24, c.surface, 0, 0, 1, 1, 0, -1, picture), -1);
  EXPECT_EQ(ConvertPixels(24, PixelSurface{nullptr, 2, 2}, 0, 0, 1, 1, 0, 0, picture), -1);
  EXPECT_EQ(ConvertPixels(24, c.surface, 0, 0, 1, 1, 2, 0, picture), -1) << "start beyond the picture";
  EXPECT_EQ(c.memory, Bytes(12, 0xAA));
  EXPECT_EQ(ConvertPixels(24, c.surface, 1, 1, 5, 5, 0, 0, picture), 0);
  EXPECT_EQ(c.Pixel(1, 1), 0x030201u);
}

}  // namespace
