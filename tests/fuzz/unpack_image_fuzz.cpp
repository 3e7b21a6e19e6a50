// Feeds arbitrary bytes to the unpacker. The first two bytes choose the capacity (up to 8 KiB, so that
// runs stay fast); the destination is exactly that large, so any write past it is an ASan report.
// Also checks the promises callers rely on: a result never exceeds the capacity,
// and a refusal leaves the destination as it was.
#include <cstdlib>
#include <vector>

#include "effect/render/packed_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t capacity = static_cast<std::uint32_t>(data[0] | (data[1] & 0x1F) << 8);  // up to 8 KiB
  std::vector<std::uint8_t> destination(capacity, 0xA5);
  const std::uint32_t result = UnpackImage(destination.data(), data + 2, size - 2, capacity);
  if (result > capacity) std::abort();
  if (result == 0) {
    for (std::uint8_t b : destination)
      if (b != 0xA5) std::abort();
  }
  return 0;
}
