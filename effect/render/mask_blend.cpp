#include "effect/render/mask_blend.h"

#include <cstring>

#include "effect/render/mask_blend_kernels.h"

// ---- the scalar reference -------------------------------------------------
//
// Every row is walked right to left; the rectangles never overlap, so the order
// does not change the result.

void Blend16Row(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t from, std::int32_t to) {
  for (std::int32_t j = to - 1; j >= from; --j) {
    const std::uint32_t m = k[2 * j] & 0x1Fu;
    if (m == 0) continue;
    if (m == 31) {
      d[2 * j] = s[2 * j];
      d[2 * j + 1] = s[2 * j + 1];
      continue;
    }
    const std::uint32_t dw = static_cast<std::uint32_t>(d[2 * j] | d[2 * j + 1] << 8);
    const std::uint32_t sw = static_cast<std::uint32_t>(s[2 * j] | s[2 * j + 1] << 8);
    std::uint32_t out = 0;
    for (std::uint32_t shift = 0; shift <= 10; shift += 5) {
      const std::uint32_t dc = dw >> shift & 0x1Fu;
      const std::uint32_t sc = sw >> shift & 0x1Fu;
      out |= (((dc * (31 - m) + sc * m) >> 5) + 1) << shift;
    }
    d[2 * j] = static_cast<std::uint8_t>(out);
    d[2 * j + 1] = static_cast<std::uint8_t>(out >> 8);
  }
}

void BlendBytesRow(std::int32_t bytes, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k,
                   std::int32_t from, std::int32_t to) {
  for (std::int32_t j = to - 1; j >= from; --j) {
    const std::int32_t at = j * bytes;
    const std::uint32_t m = k[at];
    if (m == 0) continue;
    if (m == 255) {
      std::memcpy(d + at, s + at, static_cast<std::size_t>(bytes));
      continue;
    }
    for (std::int32_t c = 0; c < 3; ++c) {
      const std::uint32_t dc = d[at + c];
      const std::uint32_t sc = s[at + c];
      d[at + c] = static_cast<std::uint8_t>(((dc * (255 - m)) >> 8) + ((sc * m) >> 8) + 1);
    }
  }
}

void BlendBlockScalar(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                      std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                      std::int32_t height) {
  for (std::int32_t r = 0; r < height; ++r) {
    if (depth == 16) {
      Blend16Row(d + r * dStride, s + r * sStride, k + r * kStride, 0, width);
    } else {
      BlendBytesRow(depth / 8, d + r * dStride, s + r * sStride, k + r * kStride, 0, width);
    }
  }
}

namespace {

using BlockKernel = void (*)(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                             std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride,
                             std::int32_t width, std::int32_t height);

std::ptrdiff_t Stride(const PixelSurface& s, std::int32_t depth) {
  return static_cast<std::ptrdiff_t>(s.width) * (depth / 8);
}

std::int32_t BlendWith(BlockKernel block, std::int32_t depth, const PixelSurface& destination, std::int32_t dx,
                       std::int32_t dy, std::int32_t width, std::int32_t height, const PixelSurface& source,
                       std::int32_t sx, std::int32_t sy, const PixelSurface& mask, std::int32_t mx, std::int32_t my) {
  if (width < 1 || height < 1 || (depth != 16 && depth != 24 && depth != 32)) return 0;
  block(depth, PixelAddress(destination, depth, dx, dy), Stride(destination, depth),
        PixelAddress(source, depth, sx, sy), Stride(source, depth), PixelAddress(mask, depth, mx, my),
        Stride(mask, depth), width, height);
  return 0;
}

BlockKernel ChooseKernel() {
#if GYREWELL_X86_KERNELS
  if (CpuHasAvx2()) return BlendBlockAvx2;
  return BlendBlockSse2;
#elif GYREWELL_WASM_KERNELS
  return BlendBlockWasm128;
#else
  return BlendBlockScalar;
#endif
}

const BlockKernel FastBlock = ChooseKernel();

}  // namespace

std::int32_t MaskBlendScalar(std::int32_t depth, const PixelSurface& destination, std::int32_t dx, std::int32_t dy,
                             std::int32_t width, std::int32_t height, const PixelSurface& source, std::int32_t sx,
                             std::int32_t sy, const PixelSurface& mask, std::int32_t mx, std::int32_t my) {
  return BlendWith(BlendBlockScalar, depth, destination, dx, dy, width, height, source, sx, sy, mask, mx, my);
}

std::int32_t MaskBlend(std::int32_t depth, const PixelSurface& destination, std::int32_t dx, std::int32_t dy,
                       std::int32_t width, std::int32_t height, const PixelSurface& source, std::int32_t sx,
                       std::int32_t sy, const PixelSurface& mask, std::int32_t mx, std::int32_t my) {
  return BlendWith(FastBlock, depth, destination, dx, dy, width, height, source, sx, sy, mask, mx, my);
}

const char* MaskBlendKernelName() {
#if GYREWELL_X86_KERNELS
  return FastBlock == BlendBlockAvx2 ? "avx2" : "sse2";
#elif GYREWELL_WASM_KERNELS
  return "wasm128";
#else
  return "scalar";
#endif
}
