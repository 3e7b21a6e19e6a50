// mask_blend_wasm.cpp - the 128-bit blocks as WebAssembly SIMD, for the
// browser's module when it is compiled with -msimd128; the same blocks as the
// SSE2/SSSE3 ones (mask_blend_simd.inl), so the same bytes as the scalar rows.
#include "effect/render/mask_blend_kernels.h"

#if GYREWELL_WASM_KERNELS
#include <wasm_simd128.h>

namespace {
namespace narrow {
#define SPREADS_BYTES 1
#define OWN_MIX_BYTES 1
#include "effect/render/mask_blend_ops_wasm.h"
#include "effect/render/mask_blend_simd.inl"
}  // namespace narrow
}  // namespace

void BlendBlockWasm128(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                       std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                       std::int32_t height) {
  narrow::Block(depth, d, dStride, s, sStride, k, kStride, width, height);
}

#endif
