// packed_image.h - the sheet's optional LZSS packing.
//
// A packed image is
//   offset 0   2 bytes   magic "PD" (0x50 0x44, the little-endian word 0x4450)
//   offset 2   4 bytes   ignored (writers may put anything here)
//   offset 6   4 bytes   U, the unpacked size, unsigned little-endian
//   offset 10  ...       the coded stream
// The stream is a sequence of groups: one flag byte, then up to eight items whose
// kinds are the flag's bits from bit 0 up. Bit 1: a literal byte. Bit 0: a
// two-byte reference b0 b1 into a 4096-byte sliding window, position
// b0 | (b1 >> 4) << 8, length (b1 & 15) + 3. The window starts as 4078 zero
// bytes (the whole window is cleared) with the write index at 4078; every output
// byte is also stored at the write index. A reference reads each byte before it
// stores it, so a span that reaches the write index repeats what it just made.
// There is no end marker: decoding stops as soon as U bytes exist, in the middle
// of a group or of a reference.
//
// The stream's length is passed in and never exceeded. A stream that runs out
// before U bytes is refused like any other bad image, and a refusal writes
// nothing: the stream is walked once without writing before it is decoded.
#ifndef GYREWELL_PACKED_IMAGE_H
#define GYREWELL_PACKED_IMAGE_H

#include <cstddef>
#include <cstdint>

// Capacity of the effect's decode buffer: 1 MiB.
constexpr std::uint32_t DecodeBufferSize = 0x100000;

// Unpacks source[0, sourceLength) into destination (capacity bytes).
// Returns U when the image is accepted, 0 when it is refused: wrong magic,
// U of 0, U above capacity, or a stream that ends before U bytes.
std::uint32_t UnpackImage(std::uint8_t* destination, const std::uint8_t* source, std::size_t sourceLength,
                          std::uint32_t capacity);

#endif
