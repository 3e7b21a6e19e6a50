#include "effect/render/packed_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Packed(std::uint32_t size, const Bytes& stream) {
  Bytes out = {0x50, 0x44, 0xDE, 0xAD, 0xBE, 0xEF,
               static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
               static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

std::uint32_t Unpack(const Bytes& packed, Bytes& out, std::uint32_t capacity) {
  return UnpackImage(out.data(), packed.data(), packed.size(), capacity);
}

TEST(UnpackImage, DecodesLiteralsAndAnOverlappingReference) {
  const Bytes packed = {0x50, 0x44, 0x00, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x07, 0x61, 0x62, 0x63, 0xEE, 0xF3};
  Bytes out(16, 0xCC);
  ASSERT_EQ(Unpack(packed, out, 16), 9u);
  EXPECT_EQ(std::string(out.begin(), out.begin() + 9), "abcabcabc");
  EXPECT_EQ(out[9], 0xCC) << "nothing beyond U may be written";
}

TEST(UnpackImage, RefusalsWriteNothing) {
  Bytes out(64, 0xCC);
  const Bytes untouched = out;
  // A plain bitmap file, as the sheet ships.
  EXPECT_EQ(Unpack({'B', 'M', 0, 0, 0, 0, 9, 0, 0, 0, 0xFF, 1, 2, 3}, out, 64), 0u);
  EXPECT_EQ(Unpack(Packed(0, {0xFF, 1}), out, 64), 0u);
  EXPECT_EQ(Unpack(Packed(65, Bytes(80, 0xFF)), out, 64), 0u) << "U above capacity";
  // Streams that end before U bytes exist: no flag byte, a missing literal, half a reference.
  EXPECT_EQ(Unpack(Packed(1, {}), out, 64), 0u);
  EXPECT_EQ(Unpack(Packed(3, {0xFF, 'a', 'b'}), out, 64), 0u);
  EXPECT_EQ(Unpack(Packed(5, {0x00, 0x00}), out, 64), 0u);
  EXPECT_EQ(Unpack(Packed(19, {0x00, 0x00, 0x0F}), out, 64), 0u) << "an 18-byte run cannot give 19 bytes";
  // Too short to hold the header at all.
  const Bytes header = {0x50, 0x44, 0, 0, 0, 0, 1, 0, 0};
  EXPECT_EQ(UnpackImage(out.data(), header.data(), header.size(), 64), 0u);
  EXPECT_EQ(UnpackImage(out.data(), nullptr, 0, 64), 0u);
  EXPECT_EQ(out, untouched);
}

TEST(UnpackImage, CapacityBoundaryIsInclusive) {
  // 58255 references of 18 zero bytes: more than enough for a full decode buffer.
  Bytes stream;
  for (int group = 0; group < 7282; ++group) {
    stream.push_back(0x00);
    for (int item = 0; item < 8; ++item) {
      stream.push_back(0x00);
      stream.push_back(0x0F);
    }
  }
  Bytes out(DecodeBufferSize + 1, 0xCC);
  EXPECT_EQ(Unpack(Packed(DecodeBufferSize, stream), out, DecodeBufferSize), DecodeBufferSize);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[DecodeBufferSize - 1], 0);
  EXPECT_EQ(out[DecodeBufferSize], 0xCC);
  EXPECT_EQ(Unpack(Packed(DecodeBufferSize + 1, stream), out, DecodeBufferSize), 0u);
}

TEST(UnpackImage, UnwrittenWindowReadsAsZero) {
  Bytes out(18, 0xCC);
  ASSERT_EQ(Unpack(Packed(18, {0x00, 0x00, 0x0F}), out, 18), 18u);
  EXPECT_EQ(out, Bytes(18, 0));
}

TEST(UnpackImage, StopsAtUInsideAGroupAndInsideAReference) {
  // U reached after two literals: the remaining flag bits are never looked at, and
  // the stream may end right there.
  Bytes out(8, 0xCC);
  ASSERT_EQ(Unpack(Packed(2, {0x03, 'x', 'y'}), out, 8), 2u);
  EXPECT_EQ(out[0], 'x');
  EXPECT_EQ(out[1], 'y');
  EXPECT_EQ(out[2], 0xCC);

  // U reached four bytes into an 18-byte reference.
  out.assign(8, 0xCC);
  ASSERT_EQ(Unpack(Packed(5, {0x01, 'z', 0xEE, 0xFF}), out, 8), 5u);
  EXPECT_EQ(std::string(out.begin(), out.begin() + 5), "zzzzz");
  EXPECT_EQ(out[5], 0xCC);
}

TEST(UnpackImage, WindowIndicesWrapAt4096) {
  // Twenty literals fill window positions 4078..4095 ('A'..'R') and then 0 and 1
  // ('S', 'T'); a reference at 4094 must read across the wrap.
  Bytes stream = {0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0xFF, 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P',
                  0x0F, 'Q', 'R', 'S', 'T', 0xFE, 0xF1};
  Bytes out(24, 0);
  ASSERT_EQ(Unpack(Packed(24, stream), out, 24), 24u);
  EXPECT_EQ(std::string(out.begin() + 20, out.end()), "QRST");
}

}  // namespace
