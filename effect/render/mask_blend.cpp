#include "effect/render/mask_blend.h"

#include <cstring>

namespace {

// Each row is walked right to left; the rectangles never overlap, so the order
// does not change the result.
void Blend16(const PixelSurface& dst, std::int32_t dx, std::int32_t dy, std::int32_t width, std::int32_t height,
             const PixelSurface& src, std::int32_t sx, std::int32_t sy, const PixelSurface& mask, std::int32_t mx,
             std::int32_t my) {
  for (std::int32_t r = 0; r < height; ++r) {
    std::uint8_t* d = PixelAddress(dst, 16, dx, dy + r);
    const std::uint8_t* s = PixelAddress(src, 16, sx, sy + r);
    const std::uint8_t* k = PixelAddress(mask, 16, mx, my + r);
    for (std::int32_t j = width - 1; j >= 0; --j) {
      const std::uint32_t m = k[2 * j] & 0x1Fu;
      if (m == 0) continue;
      if (m == 31) {
        d[2 * j] = s[2 * j];
        d[2 * j + 1] = s[2 * j + 1];
        continue;
      }
      const std::uint32_t dw = static_cast<std::uint32_t>(d[2 * j] | d[2 * j + 1] << 8);
      const std::uint32_t sw = static_cast<std::uint32_t>(s[2 * j] | s[2 * j + 1] << 8);
      std::uint32_t out = 0;
      for (std::uint32_t shift = 0; shift <= 10; shift += 5) {
        const std::uint32_t dc = dw >> shift & 0x1Fu;
        const std::uint32_t sc = sw >> shift & 0x1Fu;
        out |= (((dc * (31 - m) + sc * m) >> 5) + 1) << shift;
      }
      d[2 * j] = static_cast<std::uint8_t>(out);
      d[2 * j + 1] = static_cast<std::uint8_t>(out >> 8);
    }
  }
}

void BlendBytes(std::int32_t bytes, const PixelSurface& dst, std::int32_t dx, std::int32_t dy, std::int32_t width,
                std::int32_t height, const PixelSurface& src, std::int32_t sx, std::int32_t sy,
                const PixelSurface& mask, std::int32_t mx, std::int32_t my) {
  const std::int32_t depth = bytes * 8;
  for (std::int32_t r = 0; r < height; ++r) {
    std::uint8_t* d = PixelAddress(dst, depth, dx, dy + r);
    const std::uint8_t* s = PixelAddress(src, depth, sx, sy + r);
    const std::uint8_t* k = PixelAddress(mask, depth, mx, my + r);
    for (std::int32_t j = width - 1; j >= 0; --j) {
      const std::int32_t at = j * bytes;
      const std::uint32_t m = k[at];
      if (m == 0) continue;
      if (m == 255) {
        std::memcpy(d + at, s + at, static_cast<std::size_t>(bytes));
        continue;
      }
      for (std::int32_t c = 0; c < 3; ++c) {
        const std::uint32_t dc = d[at + c];
        const std::uint32_t sc = s[at + c];
        d[at + c] = static_cast<std::uint8_t>(((dc * (255 - m)) >> 8) + ((sc * m) >> 8) + 1);
      }
    }
  }
}

}  // namespace

std::int32_t MaskBlend(std::int32_t depth, const PixelSurface& destination, std::int32_t dx, std::int32_t dy,
                       std::int32_t width, std::int32_t height, const PixelSurface& source, std::int32_t sx,
                       std::int32_t sy, const PixelSurface& mask, std::int32_t mx, std::int32_t my) {
  if (width < 1 || height < 1) return 0;
  if (depth == 16) {
    Blend16(destination, dx, dy, width, height, source, sx, sy, mask, mx, my);
  } else if (depth == 24 || depth == 32) {
    BlendBytes(depth / 8, destination, dx, dy, width, height, source, sx, sy, mask, mx, my);
  }
  return 0;
}
