// Feeds arbitrary bytes to the bitmap import at each depth, into a small surface
// whose memory is exactly its size. The first byte picks the depth and the
// placement; the rest is the file image, whose end ASan guards.
#include <cstdlib>
#include <vector>

#include "effect/render/bitmap_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const std::int32_t depths[4] = {16, 24, 32, 8};
  const std::int32_t depth = depths[data[0] & 3];
  const std::int32_t x = data[0] >> 2 & 7;
  const std::int32_t y = data[0] >> 5;
  const std::int32_t width = 37, height = 29;  // odd sizes: no row is a multiple of 4 bytes by luck
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(width * height * 4), 0x5A);
  const PixelSurface surface = {bits.data(), width, height};
  std::vector<std::uint8_t> image(data + 1, data + size);  // exact size: reads past the end are caught
  const std::int32_t result = ImportBitmap(depth, surface, x, y, image.data(), image.size());
  if (result != 0 && result != -1) std::abort();
  if (result == -1) {
    for (std::uint8_t b : bits)
      if (b != 0x5A) std::abort();
  }
  return 0;
}
