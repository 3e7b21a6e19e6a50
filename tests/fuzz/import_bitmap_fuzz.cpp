// Feeds arbitrary bytes to the bitmap import at each depth, into a small surface.
// The first byte picks the depth and the placement; the rest is the file image.
// libFuzzer's input buffer is exactly the input's size and the surface a global
// array of exactly its size, so ASan reports any read past the image or write
// past the surface. Also checks that a refusal writes nothing.
#include <cstdlib>
#include <cstring>

#include "effect/render/bitmap_import.h"

namespace {
constexpr std::int32_t Width = 37, Height = 29;  // odd sizes: no row is a multiple of 4 bytes by luck
std::uint8_t Bits[Width * Height * 4];
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const std::int32_t depths[4] = {16, 24, 32, 8};
  const std::int32_t depth = depths[data[0] & 3];
  const std::int32_t x = data[0] >> 2 & 7;
  const std::int32_t y = data[0] >> 5;
  std::memset(Bits, 0x5A, sizeof Bits);
  const PixelSurface surface = {Bits, Width, Height};
  const std::int32_t result = ImportBitmap(depth, surface, x, y, data + 1, size - 1);
  if (result != 0 && result != -1) std::abort();
  if (result == -1) {
    for (std::uint8_t b : Bits)
      if (b != 0x5A) std::abort();
  }
  return 0;
}
