// The X11 program's pixel conversions for the layouts Xvfb does not offer
// (the frame tests cover 8-8-8 at 32 bits and 5-6-5, both least significant
// byte first): other channel orders, three-byte pixels, big-endian servers.
#include <gtest/gtest.h>

#include <vector>

#include "unix/pixel_layout.h"

namespace {

const PixelLayout Rgb565{16, 0xF800, 0x07E0, 0x001F, false};
const PixelLayout Rgb565Msb{16, 0xF800, 0x07E0, 0x001F, true};
const PixelLayout Xrgb{32, 0xFF0000, 0x00FF00, 0x0000FF, false};
const PixelLayout XrgbMsb{32, 0xFF0000, 0x00FF00, 0x0000FF, true};
const PixelLayout Bgr24{24, 0x0000FF, 0x00FF00, 0xFF0000, false};
const PixelLayout Rgb555{16, 0x7C00, 0x03E0, 0x001F, false};
const PixelLayout Argb{32, 0xFF0000, 0x00FF00, 0x0000FF, false, 0xFF000000};
const PixelLayout ArgbMsb{32, 0xFF0000, 0x00FF00, 0x0000FF, true, 0xFF000000};

// Every composed pixel comes back unchanged from a layout at least as deep.
TEST(PixelLayout, ComposedPixelsSurviveTheWayToTheServerAndBack) {
  const std::vector<std::uint8_t> words = {0x00, 0x00, 0xFF, 0x7F, 0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0x35, 0x2A};
  const std::vector<std::uint8_t> bgrx = {0x56, 0x34, 0x12, 0, 0xFF, 0xFF, 0xFF, 0, 0x01, 0x80, 0xFE, 0, 0, 0, 0, 0};
  struct Case { PixelLayout layout; std::int32_t depth; const std::vector<std::uint8_t>* pixels; };
  const Case cases[] = {{Rgb565, 16, &words},  {Rgb565Msb, 16, &words}, {Rgb555, 16, &words}, {Xrgb, 16, &words},
                        {XrgbMsb, 32, &bgrx},  {Bgr24, 32, &bgrx},      {Xrgb, 32, &bgrx},
                        {ArgbMsb, 32, &bgrx},  {Argb, 16, &words}};
  for (const Case& c : cases) {
    const std::int32_t count = static_cast<std::int32_t>(c.pixels->size()) / (c.depth / 8);
    std::vector<std::uint8_t> server(static_cast<std::size_t>(count) * c.layout.bitsPerPixel / 8);
    std::vector<std::uint8_t> back(c.pixels->size(), 0xAA);
    ConvertToServer(c.layout, server.data(), 0, c.pixels->data(), 0, c.depth, count, 1);
    ConvertFromServer(c.layout, back.data(), 0, server.data(), 0, c.depth, count, 1);
    EXPECT_EQ(back, *c.pixels) << "layout of " << c.layout.bitsPerPixel << " bits, red mask " << c.layout.redMask
                               << ", depth " << c.depth;
  }
}

TEST(PixelLayout, ChannelsLandWhereTheMasksAndByteOrderSay) {
  // 5-5-5 red 31, green 16, blue 1 as 5-6-5: green 16 widens to 33.
  const std::uint8_t word[2] = {0x01, 0x7E};
  std::uint8_t out[4] = {};
  ConvertToServer(Rgb565, out, 0, word, 0, 16, 1, 1);
  EXPECT_EQ(out[0] | out[1] << 8, 31 << 11 | 33 << 5 | 1);
  ConvertToServer(Rgb565Msb, out, 0, word, 0, 16, 1, 1);
  EXPECT_EQ(out[1] | out[0] << 8, 31 << 11 | 33 << 5 | 1);
  // Full intensity stays full at eight bits.
  ConvertToServer(Xrgb, out, 0, word, 0, 16, 1, 1);
  EXPECT_EQ(out[2], 0xFF);
  const std::uint8_t bgrx[4] = {0x56, 0x34, 0x12, 0};
  ConvertToServer(XrgbMsb, out, 0, bgrx, 0, 32, 1, 1);
  EXPECT_EQ((std::vector<std::uint8_t>{out, out + 4}), (std::vector<std::uint8_t>{0, 0x12, 0x34, 0x56}));
  ConvertToServer(Bgr24, out, 0, bgrx, 0, 32, 1, 1);
  EXPECT_EQ((std::vector<std::uint8_t>{out, out + 3}), (std::vector<std::uint8_t>{0x12, 0x34, 0x56}));
}

// Under a compositor a depth-32 window shows only what has alpha set: every
// path to the server sets it, and it is the only bits a depth adds.
TEST(PixelLayout, ArgbPixelsGoOutOpaque) {
  EXPECT_EQ(OpaqueBits(Argb, 32), 0xFF000000u);
  EXPECT_EQ(OpaqueBits(Xrgb, 24), 0u);
  EXPECT_EQ(OpaqueBits(Rgb565, 16), 0u);
  EXPECT_EQ(OpaqueBits(Rgb555, 15), 0u);
  const std::uint8_t bgrx[8] = {0x56, 0x34, 0x12, 0, 0, 0, 0, 0};
  std::uint8_t out[8] = {};
  ConvertToServer(ArgbMsb, out, 0, bgrx, 0, 32, 2, 1);
  EXPECT_EQ((std::vector<std::uint8_t>{out, out + 8}),
            (std::vector<std::uint8_t>{0xFF, 0x12, 0x34, 0x56, 0xFF, 0, 0, 0}));
  // The effect's own bytes, in place (two rows of one pixel, 8 bytes apart): only the fourth byte changes.
  std::uint8_t work[16] = {1, 2, 3, 0, 9, 9, 9, 9, 4, 5, 6, 0, 9, 9, 9, 9};
  EXPECT_TRUE(MatchesComposition(Argb, 32));
  SetOpaqueBits(Argb, work, 8, 1, 2);
  EXPECT_EQ((std::vector<std::uint8_t>{work, work + 16}),
            (std::vector<std::uint8_t>{1, 2, 3, 0xFF, 9, 9, 9, 9, 4, 5, 6, 0xFF, 9, 9, 9, 9}));
}

TEST(PixelLayout, OnlyTrueColorLayoutsItCanComposeForAreTaken) {
  EXPECT_EQ(CompositionDepth(Rgb565), 16);
  EXPECT_EQ(CompositionDepth(Bgr24), 24);
  EXPECT_EQ(CompositionDepth(XrgbMsb), 32);
  EXPECT_EQ(CompositionDepth(PixelLayout{8, 0xE0, 0x1C, 0x03, false}), 0);
  EXPECT_EQ(CompositionDepth(PixelLayout{32, 0xFF00FF, 0x00FF00, 0x000000, false}), 0);  // broken mask, no blue
  EXPECT_EQ(CompositionDepth(PixelLayout{32, 0xFFFF00, 0x00FF00, 0x0000FF, false}), 0);  // overlapping
  EXPECT_EQ(CompositionDepth(PixelLayout{16, 0xFF0000, 0x00FF00, 0x0000FF, false}), 0);  // beyond 16 bits
  EXPECT_TRUE(MatchesComposition(Xrgb, 32));
  EXPECT_TRUE(MatchesComposition(Rgb555, 16));
  EXPECT_FALSE(MatchesComposition(Rgb565, 16));
  EXPECT_FALSE(MatchesComposition(XrgbMsb, 32));
  EXPECT_FALSE(MatchesComposition(Bgr24, 24));
}

}  // namespace
