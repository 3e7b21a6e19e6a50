// The SIMD blocks must write exactly the bytes of the scalar reference: every
// destination, source and mask channel combination at each depth, rows of odd
// widths (so every tail length is met), the fourth byte at 32 bits and bit 15 at
// 16 bits included, and whole blocks in surfaces of different widths.
#include <gtest/gtest.h>

#include <vector>

#include "effect/render/mask_blend.h"
#include "effect/render/mask_blend_kernels.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// One row each for destination, source and mask; blends it with the scalar
// reference and with every SIMD row this processor can run (SSE2 always, AVX2
// where present), and through MaskBlend itself, and compares the destinations.
void ExpectSameRow(std::int32_t depth, const Bytes& d, const Bytes& s, const Bytes& k, std::int32_t width) {
  Bytes reference = d;
  if (depth == 16) {
    Blend16Row(reference.data(), s.data(), k.data(), 0, width);
  } else {
    BlendBytesRow(depth / 8, reference.data(), s.data(), k.data(), 0, width);
  }
  Bytes viaBlend = d;
  Bytes src = s, msk = k;
  const PixelSurface out = {viaBlend.data(), width, 1}, in = {src.data(), width, 1}, mask = {msk.data(), width, 1};
  MaskBlend(depth, out, 0, 0, width, 1, in, 0, 0, mask, 0, 0);
  ASSERT_EQ(viaBlend, reference) << "MaskBlend, depth " << depth << ", width " << width;
#if GYREWELL_X86_KERNELS
  Bytes sse2 = d;
  BlendBlockSse2(depth, sse2.data(), 0, s.data(), 0, k.data(), 0, width, 1);
  ASSERT_EQ(sse2, reference) << "SSE2, depth " << depth << ", width " << width;
  if (CpuHasAvx2()) {
    Bytes avx2 = d;
    BlendBlockAvx2(depth, avx2.data(), 0, s.data(), 0, k.data(), 0, width, 1);
    ASSERT_EQ(avx2, reference) << "AVX2, depth " << depth << ", width " << width;
  }
#endif
}

TEST(MaskBlendSimd, EveryChannelTripleAtTwentyFourAndThirtyTwoBits) {
  std::printf("rows in use: %s\n", MaskBlendKernelName());
  for (std::int32_t depth : {24, 32}) {
    const std::int32_t bytes = depth / 8, width = 256;
    Bytes d(width * bytes), s(width * bytes), k(width * bytes);
    for (std::int32_t j = 0; j < width; ++j) {
      for (std::int32_t c = 0; c < bytes; ++c) s[j * bytes + c] = static_cast<std::uint8_t>(j + 85 * c);
    }
    for (std::int32_t dv = 0; dv < 256; ++dv) {
      for (std::int32_t m = 0; m < 256; ++m) {
        for (std::int32_t j = 0; j < width; ++j) {
          for (std::int32_t c = 0; c < bytes; ++c) {
            d[j * bytes + c] = static_cast<std::uint8_t>(dv + 29 * c);
            k[j * bytes + c] = static_cast<std::uint8_t>(c == 0 ? m : 255 - m);  // only the first byte counts
          }
        }
        ExpectSameRow(depth, d, s, k, width);
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST(MaskBlendSimd, EveryChannelTripleAtSixteenBits) {
  // All 32 x 32 x 32 (d, s, m) per channel, with bit 15 and the mask's green and
  // red bits set in every combination.
  const std::int32_t width = 32 * 32;
  Bytes d(width * 2), s(width * 2), k(width * 2);
  for (std::int32_t m = 0; m < 32; ++m) {
    for (std::int32_t high = 0; high < 4; ++high) {
      for (std::int32_t j = 0; j < width; ++j) {
        const std::uint32_t dc = static_cast<std::uint32_t>(j & 31), sc = static_cast<std::uint32_t>(j >> 5);
        const std::uint32_t dw = dc | (31 - dc) << 5 | (dc ^ 21) << 10 | (high & 1u) << 15;
        const std::uint32_t sw = sc | (sc ^ 9) << 5 | (31 - sc) << 10 | (high >> 1 & 1u) << 15;
        const std::uint32_t kw = static_cast<std::uint32_t>(m) | static_cast<std::uint32_t>(j * 7 & 0x7FF) << 5;
        d[2 * j] = static_cast<std::uint8_t>(dw);
        d[2 * j + 1] = static_cast<std::uint8_t>(dw >> 8);
        s[2 * j] = static_cast<std::uint8_t>(sw);
        s[2 * j + 1] = static_cast<std::uint8_t>(sw >> 8);
        k[2 * j] = static_cast<std::uint8_t>(kw);
        k[2 * j + 1] = static_cast<std::uint8_t>(kw >> 8);
      }
      ExpectSameRow(16, d, s, k, width);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(MaskBlendSimd, OddWidthsAndOffsetsMeetEveryTail) {
  std::uint32_t seed = 7;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::uint8_t>(seed >> 24);
  };
  for (std::int32_t depth : {16, 24, 32}) {
    for (std::int32_t width = 1; width <= 140; ++width) {
      const std::size_t n = static_cast<std::size_t>(width * depth / 8);
      Bytes d(n), s(n), k(n);
      for (std::size_t i = 0; i < n; ++i) {
        d[i] = next();
        s[i] = next();
        const std::uint8_t r = next();
        k[i] = r < 80 ? 0 : r < 160 ? 0xFF : r;  // runs of empty, full and partial
      }
      ExpectSameRow(depth, d, s, k, width);
      if (HasFatalFailure()) return;
    }
  }
}

// Whole blocks: each operand lives in a surface of its own width, and each
// kernel must step from row to row by that operand's own stride and leave every
// byte outside the block alone.
TEST(MaskBlendSimd, BlocksKeepToTheirRowsInSurfacesOfDifferentWidths) {
  std::uint32_t seed = 11;
  auto next = [&](std::uint32_t below) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::int32_t>((seed >> 8) % below);
  };
  const std::int32_t widths[3] = {113, 127, 139}, height = 90;  // destination, source, mask
  for (std::int32_t depth : {16, 24, 32}) {
    const std::int32_t bytes = depth / 8;
    Bytes original[3];
    for (int i = 0; i < 3; ++i) {
      original[i].resize(static_cast<std::size_t>(widths[i] * height * bytes));
      for (auto& b : original[i]) {
        const std::int32_t r = next(256);
        b = static_cast<std::uint8_t>(r < 70 ? 0 : r < 140 ? 0xFF : r);
      }
    }
    for (int trial = 0; trial < 40; ++trial) {
      const std::int32_t w = 1 + next(100), h = 1 + next(height);
      std::int32_t x[3], y[3];
      for (int i = 0; i < 3; ++i) {
        x[i] = next(static_cast<std::uint32_t>(widths[i] - w + 1));
        y[i] = next(static_cast<std::uint32_t>(height - h + 1));
      }
      Bytes reference = original[0], fast = original[0];
      Bytes source = original[1], mask = original[2];
      const PixelSurface in = {source.data(), widths[1], height}, k = {mask.data(), widths[2], height};
      MaskBlendScalar(depth, {reference.data(), widths[0], height}, x[0], y[0], w, h, in, x[1], y[1], k, x[2], y[2]);
      MaskBlend(depth, {fast.data(), widths[0], height}, x[0], y[0], w, h, in, x[1], y[1], k, x[2], y[2]);
      ASSERT_EQ(fast, reference) << "depth " << depth << ", " << w << " x " << h;
#if GYREWELL_X86_KERNELS
      Bytes sse2 = original[0];
      auto at = [&](std::uint8_t* bits, int i) { return bits + (std::ptrdiff_t{y[i]} * widths[i] + x[i]) * bytes; };
      BlendBlockSse2(depth, at(sse2.data(), 0), std::ptrdiff_t{widths[0]} * bytes, at(source.data(), 1),
                     std::ptrdiff_t{widths[1]} * bytes, at(mask.data(), 2), std::ptrdiff_t{widths[2]} * bytes, w, h);
      ASSERT_EQ(sse2, reference) << "SSE2, depth " << depth << ", " << w << " x " << h;
#endif
    }
  }
}

}  // namespace
