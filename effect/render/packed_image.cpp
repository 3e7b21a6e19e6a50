#include "effect/render/packed_image.h"

#include <cstring>

namespace {

constexpr std::uint32_t WindowSize = 4096;
constexpr std::uint32_t WindowStart = WindowSize - 18;  // 4078
constexpr std::size_t HeaderSize = 10;

std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Walks the stream as the decoder would, without writing, and tells whether it
// holds enough items for `size` bytes inside `length` bytes.
bool StreamYields(const std::uint8_t* stream, std::size_t length, std::uint32_t size) {
  std::size_t in = 0;
  std::uint32_t out = 0;
  while (out < size) {
    if (in >= length) return false;
    const std::uint32_t flags = stream[in++];
    for (int bit = 0; bit < 8 && out < size; ++bit) {
      if (flags >> bit & 1) {
        if (in >= length) return false;
        in += 1;
        out += 1;
      } else {
        if (length - in < 2) return false;
        const std::uint32_t runLength = (stream[in + 1] & 0x0Fu) + 3;
        in += 2;
        out += (size - out < runLength) ? size - out : runLength;
      }
    }
  }
  return true;
}

}  // namespace

std::uint32_t UnpackImage(std::uint8_t* destination, const std::uint8_t* source, std::size_t sourceLength,
                          std::uint32_t capacity) {
  if (source == nullptr || sourceLength < HeaderSize) return 0;
  if ((source[0] | source[1] << 8) != 0x4450) return 0;
  const std::uint32_t size = ReadU32(source + 6);
  if (size == 0 || capacity < size) return 0;

  const std::uint8_t* stream = source + HeaderSize;
  const std::size_t streamLength = sourceLength - HeaderSize;
  if (!StreamYields(stream, streamLength, size)) return 0;

  std::uint8_t window[WindowSize];
  std::memset(window, 0, sizeof window);
  std::uint32_t write = WindowStart;
  std::uint32_t out = 0;
  std::size_t in = 0;
  while (out < size) {
    const std::uint32_t flags = stream[in++];
    for (int bit = 0; bit < 8 && out < size; ++bit) {
      if (flags >> bit & 1) {
        const std::uint8_t byte = stream[in++];
        destination[out++] = byte;
        window[write] = byte;
        write = (write + 1) & (WindowSize - 1);
      } else {
        const std::uint32_t b0 = stream[in];
        const std::uint32_t b1 = stream[in + 1];
        in += 2;
        std::uint32_t read = b0 | (b1 >> 4) << 8;
        for (std::uint32_t n = (b1 & 0x0Fu) + 3; n > 0 && out < size; --n) {
          // Read before store: a span reaching the write index repeats itself.
          const std::uint8_t byte = window[read];
          read = (read + 1) & (WindowSize - 1);
          destination[out++] = byte;
          window[write] = byte;
          write = (write + 1) & (WindowSize - 1);
        }
      }
    }
  }
  return size;
}
