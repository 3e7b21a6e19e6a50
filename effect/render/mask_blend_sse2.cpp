// mask_blend_sse2.cpp - the 128-bit rows (SSE2, on every x86-64 processor) and
// the processor check that picks between them and the AVX2 rows.
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

using V = __m128i;
constexpr int LANES = 16;
inline V Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
inline void Store(std::uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
inline V Zero() { return _mm_setzero_si128(); }
inline V Set16(int v) { return _mm_set1_epi16(static_cast<short>(v)); }
inline V Set32(int v) { return _mm_set1_epi32(v); }
inline V And(V a, V b) { return _mm_and_si128(a, b); }
inline V Or(V a, V b) { return _mm_or_si128(a, b); }
inline V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
inline V CmpEq8(V a, V b) { return _mm_cmpeq_epi8(a, b); }
inline V CmpEq16(V a, V b) { return _mm_cmpeq_epi16(a, b); }
inline V CmpEq32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
inline V Add16(V a, V b) { return _mm_add_epi16(a, b); }
inline V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
inline V Mul16(V a, V b) { return _mm_mullo_epi16(a, b); }
template <int n> inline V ShiftRight16(V a) { return _mm_srli_epi16(a, n); }
template <int n> inline V ShiftLeft16(V a) { return _mm_slli_epi16(a, n); }
template <int n> inline V ShiftLeft32(V a) { return _mm_slli_epi32(a, n); }
inline V UnpackLo8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
inline V UnpackHi8(V a, V b) { return _mm_unpackhi_epi8(a, b); }
inline V PackUs16(V a, V b) { return _mm_packus_epi16(a, b); }

}  // namespace

#define ROW_NAME BlendRowSse2
#include "effect/render/mask_blend_simd.inl"

#endif
