// blend_check - the WebAssembly SIMD blend against the scalar reference, in a
// module of its own (blend_check.wasm, run by blend_check.mjs under Node.js,
// whose engine is Chromium's): every destination, source and mask channel
// value at 24 and 32 bits and every five-bit triple at 16 bits, then random
// rows of every width up to 140, so that every tail is met. Exports
// blend_check(), the number of rows whose bytes differ (0 when the blend is
// exact), and blend_kernel(), MaskBlendKernelName().
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "effect/render/mask_blend.h"

namespace {

constexpr std::int32_t Widest = 32 * 32 * 2;  // bytes: the 16-bit row of every triple
std::uint8_t D[Widest], S[Widest], K[Widest], Reference[Widest], Fast[Widest];

// One row of width pixels in D, S and K, blended both ways; 1 when they differ.
std::int32_t Differs(std::int32_t depth, std::int32_t width) {
  const std::size_t n = static_cast<std::size_t>(width) * (depth / 8);
  std::memcpy(Reference, D, n);
  std::memcpy(Fast, D, n);
  const PixelSurface source = {S, width, 1}, mask = {K, width, 1};
  MaskBlendScalar(depth, PixelSurface{Reference, width, 1}, 0, 0, width, 1, source, 0, 0, mask, 0, 0);
  MaskBlend(depth, PixelSurface{Fast, width, 1}, 0, 0, width, 1, source, 0, 0, mask, 0, 0);
  return std::memcmp(Reference, Fast, n) != 0;
}

}  // namespace

extern "C" __attribute__((export_name("blend_check"))) std::int32_t blend_check() {
  std::int32_t differing = 0;
  for (std::int32_t depth : {24, 32}) {
    const std::int32_t bytes = depth / 8, width = 256;
    for (std::int32_t j = 0; j < width * bytes; ++j) S[j] = static_cast<std::uint8_t>(j / bytes + 85 * (j % bytes));
    for (std::int32_t dv = 0; dv < 256; ++dv) {
      for (std::int32_t m = 0; m < 256; ++m) {
        for (std::int32_t j = 0; j < width * bytes; ++j) {
          D[j] = static_cast<std::uint8_t>(dv + 29 * (j % bytes));
          K[j] = static_cast<std::uint8_t>(j % bytes == 0 ? m : 255 - m);  // only the first byte counts
        }
        differing += Differs(depth, width);
      }
    }
  }
  for (std::int32_t m = 0; m < 32; ++m) {
    for (std::int32_t j = 0; j < 32 * 32; ++j) {
      const std::uint32_t dc = static_cast<std::uint32_t>(j & 31), sc = static_cast<std::uint32_t>(j >> 5);
      const std::uint32_t dw = dc | (31 - dc) << 5 | (dc ^ 21) << 10 | (j & 1u) << 15;
      const std::uint32_t sw = sc | (sc ^ 9) << 5 | (31 - sc) << 10 | (j >> 1 & 1u) << 15;
      const std::uint32_t kw = static_cast<std::uint32_t>(m) | static_cast<std::uint32_t>(j * 7 & 0x7FF) << 5;
      D[2 * j] = static_cast<std::uint8_t>(dw);
      D[2 * j + 1] = static_cast<std::uint8_t>(dw >> 8);
      S[2 * j] = static_cast<std::uint8_t>(sw);
      S[2 * j + 1] = static_cast<std::uint8_t>(sw >> 8);
      K[2 * j] = static_cast<std::uint8_t>(kw);
      K[2 * j + 1] = static_cast<std::uint8_t>(kw >> 8);
    }
    differing += Differs(16, 32 * 32);
  }
  std::uint32_t seed = 7;
  for (std::int32_t depth : {16, 24, 32}) {
    for (std::int32_t width = 1; width <= 140; ++width) {
      for (std::int32_t i = 0; i < width * (depth / 8); ++i) {
        std::uint8_t r[3];
        for (std::uint8_t& b : r) b = static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
        D[i] = r[0];
        S[i] = r[1];
        K[i] = r[2] < 80 ? 0 : r[2] < 160 ? 0xFF : r[2];  // runs of empty, full and partial
      }
      differing += Differs(depth, width);
    }
  }
  return differing;
}

extern "C" __attribute__((export_name("blend_kernel"))) const char* blend_kernel() { return MaskBlendKernelName(); }
