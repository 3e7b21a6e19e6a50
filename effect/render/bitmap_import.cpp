#include "effect/render/bitmap_import.h"

#include <cstring>

const std::uint8_t DitherTable[8][4] = {
    {0b0000, 0b0000, 0b0000, 0b0000},  // k = 0:  0 of 16
    {0b0000, 0b0010, 0b0000, 0b1000},  // k = 1:  2 of 16
    {0b0000, 0b1010, 0b0000, 0b1010},  // k = 2:  4 of 16
    {0b0101, 0b1010, 0b0101, 0b1010},  // k = 3:  8 of 16
    {0b0101, 0b1011, 0b0101, 0b1110},  // k = 4: 10 of 16
    {0b0101, 0b1111, 0b0101, 0b1111},  // k = 5: 12 of 16
    {0b1110, 0b1111, 0b1011, 0b1111},  // k = 6: 14 of 16
    {0b1111, 0b1111, 0b1111, 0b1111},  // k = 7: 16 of 16
};

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::size_t PaletteOffset = FileHeaderSize + InfoHeaderSize;  // 54

std::uint32_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] | p[1] << 8); }

std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int64_t RowStride(std::int32_t width, std::int32_t bitCount) {
  return (static_cast<std::int64_t>(width) * (bitCount / 8) + 3) & ~static_cast<std::int64_t>(3);
}

void WritePixel(std::uint8_t* out, std::int32_t depth, std::uint32_t b, std::uint32_t g, std::uint32_t r,
                std::int32_t row, std::int32_t column) {
  switch (depth) {
    case 16: {
      const std::uint32_t word =
          DitherChannel(b, row, column) | DitherChannel(g, row, column) << 5 | DitherChannel(r, row, column) << 10;
      out[0] = static_cast<std::uint8_t>(word);
      out[1] = static_cast<std::uint8_t>(word >> 8);
      break;
    }
    case 32:
      out[3] = 0;
      [[fallthrough]];
    case 24:
      out[0] = static_cast<std::uint8_t>(b);
      out[1] = static_cast<std::uint8_t>(g);
      out[2] = static_cast<std::uint8_t>(r);
      break;
    default:
      break;
  }
}

}  // namespace

std::uint32_t DitherChannel(std::uint32_t value, std::int32_t row, std::int32_t column) {
  std::uint32_t q = value >> 3;
  if (q > 0) q -= 1;
  q += static_cast<std::uint32_t>(DitherTable[value & 7][row & 3] >> (3 - (column & 3)) & 1);
  return q;
}

std::int32_t ConvertPixels(std::int32_t depth, const PixelSurface& surface, std::int32_t x, std::int32_t y,
                           std::int32_t width, std::int32_t height, std::int32_t sourceX, std::int32_t sourceY,
                           const SourcePicture& picture) {
  if (surface.bits == nullptr) return -1;
  if (x < 0 || y < 0 || sourceX < 0 || sourceY < 0) return -1;
  if (x > surface.width || y > surface.height || sourceX > picture.width || sourceY > picture.height) return -1;

  // Clipping order matters when several limits apply: surface first, then picture.
  std::int64_t w = width;
  std::int64_t h = height;
  if (x + w > surface.width) w = surface.width - x;
  if (y + h > surface.height) h = surface.height - y;
  if (sourceX + w > picture.width) w = picture.width - sourceX;
  if (sourceY + h > picture.height) h = picture.height - sourceY;
  if (w <= 0 || h <= 0 || BytesPerPixel(depth) == 0) return 0;

  const std::int32_t bytes = BytesPerPixel(depth);
  const std::int32_t sourceBytes = picture.bitCount / 8;
  const std::int64_t stride = RowStride(picture.width, picture.bitCount);

  // A private palette of 256 entries: indices beyond the file's palette read black.
  std::uint8_t palette[256][4];
  std::memset(palette, 0, sizeof palette);
  if (picture.bitCount == 8 && picture.palette != nullptr) {
    const std::uint32_t count = picture.paletteCount < 256 ? picture.paletteCount : 256;
    std::memcpy(palette, picture.palette, count * 4u);
  }

  for (std::int32_t i = 0; i < h; ++i) {
    // Rows are stored bottom-up: the picture's top row lies highest in memory.
    const std::uint8_t* in =
        picture.pixels + (static_cast<std::int64_t>(picture.height) - 1 - (sourceY + i)) * stride +
        static_cast<std::int64_t>(sourceBytes) * sourceX;
    std::uint8_t* out = PixelAddress(surface, depth, x, y + i);
    if (picture.bitCount == 24 && depth == 24) {
      std::memcpy(out, in, static_cast<std::size_t>(w) * 3);
      continue;
    }
    for (std::int32_t j = 0; j < w; ++j, out += bytes) {
      const std::uint8_t* bgr = picture.bitCount == 8 ? palette[in[j]] : in + 3 * j;
      WritePixel(out, depth, bgr[0], bgr[1], bgr[2], i, j);
    }
  }
  return 0;
}

std::int32_t ImportBitmap(std::int32_t depth, const PixelSurface& surface, std::int32_t x, std::int32_t y,
                          const std::uint8_t* image, std::size_t length) {
  if (image == nullptr || length < 2 || image[0] != 'B' || image[1] != 'M') return -1;
  if (length < PaletteOffset) return -1;
  // Only BITMAPINFOHEADER is read: other header sizes put the fields elsewhere.
  if (ReadU32(image + 14) != InfoHeaderSize) return -1;

  const std::int32_t width = static_cast<std::int32_t>(ReadU32(image + 18));
  const std::int32_t height = static_cast<std::int32_t>(ReadU32(image + 22));
  const std::int32_t bitCount = static_cast<std::int32_t>(ReadU16(image + 28));
  if (bitCount != 8 && bitCount != 24) return -1;

  const std::uint32_t used = ReadU32(image + 46);
  const std::uint32_t colours = used != 0 ? used : (bitCount == 8 ? 256u : 0u);
  const std::uint64_t pixelStart = PaletteOffset + 4ull * colours;
  if (pixelStart > length) return -1;
  if (width > 0 && height > 0 &&
      static_cast<std::uint64_t>(RowStride(width, bitCount)) * static_cast<std::uint64_t>(height) >
          length - pixelStart) {
    return -1;
  }

  const SourcePicture picture = {image + pixelStart, image + PaletteOffset, colours, width, height, bitCount};
  // Width, height and position travel as 16-bit unsigned values; the full
  // biWidth and biHeight still govern clipping and the row stride.
  ConvertPixels(depth, surface, x & 0xFFFF, y & 0xFFFF, width & 0xFFFF, height & 0xFFFF, 0, 0, picture);
  return 0;
}
