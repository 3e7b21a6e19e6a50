// mask_blend_sse2.cpp - the 128-bit blocks (SSE2, on every x86-64 processor) and
// the processor check that picks between them and the AVX2 blocks.
#include "effect/render/mask_blend_kernels.h"

#if GYREWELL_X86_KERNELS
#include <emmintrin.h>
#if defined(_MSC_VER)
#include <immintrin.h>
#include <intrin.h>
#endif

bool CpuHasAvx2() {
#if defined(_MSC_VER)
  int info[4];
  __cpuid(info, 0);
  if (info[0] < 7) return false;
  __cpuid(info, 1);
  const bool osSavesAvx = (info[2] & (1 << 27)) != 0 && (_xgetbv(0) & 6) == 6;
  __cpuidex(info, 7, 0);
  return osSavesAvx && (info[1] & (1 << 5)) != 0;
#else
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
#endif
}

namespace {
namespace narrow {
#define SPREADS_BYTES 0
#include "effect/render/mask_blend_ops128.h"
#include "effect/render/mask_blend_simd.inl"
}  // namespace narrow
}  // namespace

void BlendBlockSse2(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                    std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                    std::int32_t height) {
  narrow::Block(depth, d, dStride, s, sStride, k, kStride, width, height);
}

#endif
