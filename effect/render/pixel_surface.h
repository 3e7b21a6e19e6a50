// pixel_surface.h - how the pixel routines see an off-screen picture.
//
// The effect keeps its pictures in DIB sections at the display's own depth.
// The pixel routines (import, blend) never touch GDI: they are handed this
// plain view of a surface - first byte of the top row, width and height in
// pixels - and the depth in bits per pixel. Rows run top-down with nothing
// between them, so pixel (x, y) lies at bits + (y * width + x) * depth / 8.
//
// Pixel formats by depth:
//   16  one little-endian word: blue bits 0-4, green 5-9, red 10-14, bit 15 on top
//   24  three bytes: blue, green, red
//   32  four bytes: blue, green, red, and a fourth byte
// The routines handle exactly these three depths and write nothing at any other.
//
// On Windows the effect's Surface record carries one of these next to its
// memory DC and bitmap; the routines are handed the view itself, never a DC.
#ifndef GYREWELL_PIXEL_SURFACE_H
#define GYREWELL_PIXEL_SURFACE_H

#include <cstddef>
#include <cstdint>

struct PixelSurface {
  std::uint8_t* bits;  // top row first; null when the surface does not exist
  std::int32_t width;  // pixels per row
  std::int32_t height; // rows
};

// Bytes per pixel for a supported depth, 0 for any other.
inline std::int32_t BytesPerPixel(std::int32_t depth) {
  return (depth == 16 || depth == 24 || depth == 32) ? depth / 8 : 0;
}

inline std::uint8_t* PixelAddress(const PixelSurface& s, std::int32_t depth, std::int32_t x, std::int32_t y) {
  return s.bits + (static_cast<std::ptrdiff_t>(y) * s.width + x) * (depth / 8);
}

#endif
