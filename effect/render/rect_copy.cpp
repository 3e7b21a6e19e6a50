#include "effect/render/rect_copy.h"

#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define GYREWELL_COPY_SSE2 1
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#define GYREWELL_COPY_WASM 1
#endif

namespace {

#if GYREWELL_COPY_SSE2
inline void Move16(std::uint8_t* to, const std::uint8_t* from) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
}
#elif GYREWELL_COPY_WASM
inline void Move16(std::uint8_t* to, const std::uint8_t* from) { wasm_v128_store(to, wasm_v128_load(from)); }
#endif

// One row. Most rows the effect copies are sprite rows of 48 to 96 bytes; an
// inline loop of 16-byte moves keeps them off the runtime's memcpy, whose call
// and size dispatch cost more than the copy (and which some runtimes implement
// slowly).
inline void CopyRow(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
#if GYREWELL_COPY_SSE2 || GYREWELL_COPY_WASM
  if (bytes >= 16 && bytes <= 512) {
    std::size_t i = 0;
    for (; i + 16 <= bytes; i += 16) Move16(to + i, from + i);
    if (i < bytes) Move16(to + bytes - 16, from + bytes - 16);  // the last 16 again, overlapping what is copied
    return;
  }
#endif
  std::memcpy(to, from, bytes);
}

#if GYREWELL_COPY_SSE2
// Asks for the first and last byte of every row of a block: a sprite-sized
// block touches a new page in every row of a large surface, and asking for all
// its rows first lets the misses overlap instead of queueing.
inline void PrefetchRows(const std::uint8_t* first, std::ptrdiff_t stride, std::size_t rowBytes, std::int64_t rows) {
  for (std::int64_t r = 0; r < rows; ++r) {
    const char* row = reinterpret_cast<const char*>(first + r * stride);
    _mm_prefetch(row, _MM_HINT_T0);
    _mm_prefetch(row + rowBytes - 1, _MM_HINT_T0);
  }
}
#endif

// Cuts [start, start + length) of one axis to [0, limit) and moves the partner
// start by the same amount. Returns the remaining length, possibly 0.
std::int64_t ClipAxis(std::int64_t& start, std::int64_t& partner, std::int64_t length, std::int64_t limit) {
  if (start < 0) {
    length += start;
    partner -= start;
    start = 0;
  }
  if (start + length > limit) length = limit - start;
  return length;
}

}  // namespace

void CopyRect(std::int32_t depth, const PixelSurface& destination, std::int32_t dx, std::int32_t dy,
              std::int32_t width, std::int32_t height, const PixelSurface& source, std::int32_t sx, std::int32_t sy) {
  const std::int32_t bytes = BytesPerPixel(depth);
  if (bytes == 0 || destination.bits == nullptr || source.bits == nullptr) return;
  std::int64_t x0 = dx, y0 = dy, x1 = sx, y1 = sy;
  std::int64_t w = ClipAxis(x0, x1, width, destination.width);
  w = ClipAxis(x1, x0, w, source.width);
  std::int64_t h = ClipAxis(y0, y1, height, destination.height);
  h = ClipAxis(y1, y0, h, source.height);
  if (w <= 0 || h <= 0) return;
  const std::size_t rowBytes = static_cast<std::size_t>(w * bytes);
  const std::uint8_t* from = PixelAddress(source, depth, static_cast<std::int32_t>(x1), static_cast<std::int32_t>(y1));
  std::uint8_t* to = PixelAddress(destination, depth, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0));
  const std::ptrdiff_t fromStride = static_cast<std::ptrdiff_t>(source.width) * bytes;
  const std::ptrdiff_t toStride = static_cast<std::ptrdiff_t>(destination.width) * bytes;
#if GYREWELL_COPY_SSE2
  if (h <= 128 && rowBytes <= 512) {
    PrefetchRows(from, fromStride, rowBytes, h);
    PrefetchRows(to, toStride, rowBytes, h);
  }
#endif
  for (std::int64_t r = 0; r < h; ++r) CopyRow(to + r * toStride, from + r * fromStride, rowBytes);
}

void EnlargeRect(std::int32_t depth, const PixelSurface& destination, std::int32_t dx, std::int32_t dy,
                 std::int32_t width, std::int32_t height, const PixelSurface& source, std::int32_t sx,
                 std::int32_t sy, std::int32_t scale) {
  const std::int32_t bytes = BytesPerPixel(depth);
  if (bytes == 0 || destination.bits == nullptr || source.bits == nullptr || scale < 1 || width < 1 || height < 1) {
    return;
  }
  const std::int64_t w = std::int64_t{width} * scale, h = std::int64_t{height} * scale;
  if (sx < 0 || sy < 0 || sx + width > source.width || sy + height > source.height || dx < 0 || dy < 0 ||
      dx + w > destination.width || dy + h > destination.height) {
    return;
  }
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* from = PixelAddress(source, depth, sx, sy + y);
    std::uint8_t* to = PixelAddress(destination, depth, dx, dy + y * scale);
    for (std::int32_t x = 0; x < width; ++x)
      for (std::int32_t k = 0; k < scale; ++k) std::memcpy(to + (x * scale + k) * bytes, from + x * bytes, bytes);
    // The other rows of the squares are the first one again.
    for (std::int32_t k = 1; k < scale; ++k) {
      CopyRow(PixelAddress(destination, depth, dx, dy + y * scale + k), to, static_cast<std::size_t>(w * bytes));
    }
  }
}

void PrefetchRect(std::int32_t depth, const PixelSurface& surface, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height) {
#if GYREWELL_COPY_SSE2
  const std::int32_t bytes = BytesPerPixel(depth);
  if (bytes == 0 || surface.bits == nullptr || width < 1 || x < 0 || y < 0 || x + width > surface.width) return;
  const std::int64_t rows = height < surface.height - y ? height : surface.height - y;
  PrefetchRows(PixelAddress(surface, depth, x, y), static_cast<std::ptrdiff_t>(surface.width) * bytes,
               static_cast<std::size_t>(width) * bytes, rows);
#else
  (void)depth, (void)surface, (void)x, (void)y, (void)width, (void)height;
#endif
}

void FillBlack(std::int32_t depth, const PixelSurface& destination, std::int32_t x, std::int32_t y,
               std::int32_t width, std::int32_t height) {
  const std::int32_t bytes = BytesPerPixel(depth);
  if (bytes == 0 || destination.bits == nullptr) return;
  std::int64_t x0 = x, y0 = y, unusedX = 0, unusedY = 0;
  const std::int64_t w = ClipAxis(x0, unusedX, width, destination.width);
  const std::int64_t h = ClipAxis(y0, unusedY, height, destination.height);
  if (w <= 0 || h <= 0) return;
  for (std::int64_t r = 0; r < h; ++r) {
    std::memset(PixelAddress(destination, depth, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0 + r)), 0,
                static_cast<std::size_t>(w * bytes));
  }
}
