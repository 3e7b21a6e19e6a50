// bitmap_import.h - a BMP file image in memory into a surface at display depth.
//
// What is read of the file (little-endian):
//   0   "BM"
//   14  biSize       must be 40 (BITMAPINFOHEADER); other layouts are refused
//   18  biWidth      signed; its low 16 bits are the width converted
//   22  biHeight     signed; rows are always taken as stored bottom-up, so a
//                    negative (top-down) height converts nothing
//   28  biBitCount   8 (palette) or 24 (blue, green, red); others are refused
//   46  biClrUsed    palette length n when non-zero, else 256 for 8 bits, 0 for 24
//   54  palette      n RGBQUADs (blue, green, red, reserved)
// Pixel data starts at 54 + 4n; bfOffBits is not consulted. Rows are padded to
// four bytes. An 8-bit index beyond the palette reads as black.
//
// Conversion: at 24 and 32 bits the colours are copied (the fourth byte at 32 is
// 0); at 16 bits each channel is reduced to five bits with the ordered dither
// below, positioned by the pixel's row and column inside the converted rectangle.
//
// The image's length is passed in. A file whose header, palette or pixel rows do
// not fit inside it is refused (-1) and nothing is written.
#ifndef GYREWELL_BITMAP_IMPORT_H
#define GYREWELL_BITMAP_IMPORT_H

#include <cstddef>
#include <cstdint>

#include "effect/render/pixel_surface.h"

// For each remainder k = v & 7 of a channel value v, a 4 x 4 block of 0/1:
// DitherTable[k][row] holds the four columns as written left to right, so column
// c is bit (3 - c). The number of ones is 2k rounded to the blocks below.
extern const std::uint8_t DitherTable[8][4];

// Reduces one 8-bit channel to 5 bits for the pixel at (row, column) of the
// converted rectangle.
std::uint32_t DitherChannel(std::uint32_t value, std::int32_t row, std::int32_t column);

// A validated source picture: what ConvertPixels reads from.
struct SourcePicture {
  const std::uint8_t* pixels;   // pixel data start (the bottom row)
  const std::uint8_t* palette;  // RGBQUADs, or null
  std::uint32_t paletteCount;   // entries behind palette
  std::int32_t width;           // biWidth
  std::int32_t height;          // biHeight
  std::int32_t bitCount;        // 8 or 24
};

// Converts the width x height rectangle at (sourceX, sourceY) of the picture
// (counted from its top) into the surface at (x, y). Refuses (-1, nothing
// written) a start beyond the surface or the picture, or a negative one; then
// clips against the surface's right and bottom and the picture's, in that order.
std::int32_t ConvertPixels(std::int32_t depth, const PixelSurface& surface, std::int32_t x, std::int32_t y,
                           std::int32_t width, std::int32_t height, std::int32_t sourceX, std::int32_t sourceY,
                           const SourcePicture& picture);

// Checks the file image and converts the whole picture to (x, y). Returns -1 for
// a refused file, 0 otherwise (also when the conversion itself refused).
std::int32_t ImportBitmap(std::int32_t depth, const PixelSurface& surface, std::int32_t x, std::int32_t y,
                          const std::uint8_t* image, std::size_t length);

#endif
