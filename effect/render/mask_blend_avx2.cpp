// mask_blend_avx2.cpp - the 256-bit blocks. This file alone is compiled for AVX2;
// MaskBlend calls into it only when the processor reports AVX2. Rows narrower
// than one 256-bit vector go through 128-bit blocks (these with SSSE3's byte
// shuffle), then scalar.
#include "effect/render/mask_blend_kernels.h"

#if GYREWELL_X86_KERNELS
#include <immintrin.h>

namespace {
namespace narrow {
#define SPREADS_BYTES 1  // SSSE3's shuffle comes with AVX2
#include "effect/render/mask_blend_ops128.h"
#include "effect/render/mask_blend_simd.inl"
}  // namespace narrow

namespace wide {
#define SPREADS_BYTES 1
using V = __m256i;
constexpr int LANES = 32;
inline V Load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
inline V LoadLanes(const std::uint8_t* lane0, const std::uint8_t* lane1) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lane0))),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(lane1)), 1);
}
inline void Store(std::uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
inline V Zero() { return _mm256_setzero_si256(); }
inline V Set16(int v) { return _mm256_set1_epi16(static_cast<short>(v)); }
inline V Set32(int v) { return _mm256_set1_epi32(v); }
inline V And(V a, V b) { return _mm256_and_si256(a, b); }
inline V Or(V a, V b) { return _mm256_or_si256(a, b); }
inline V Pick(V c, V a, V b) { return _mm256_blendv_epi8(a, b, c); }
inline bool NoneOf(V a, V b) { return _mm256_testz_si256(a, b) != 0; }
inline bool AllBits(V a, V b) { return _mm256_testc_si256(a, b) != 0; }
inline V CmpEq8(V a, V b) { return _mm256_cmpeq_epi8(a, b); }
inline V CmpEq16(V a, V b) { return _mm256_cmpeq_epi16(a, b); }
inline V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
inline V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
inline V Mul16(V a, V b) { return _mm256_mullo_epi16(a, b); }
inline V MulHigh16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
template <int n> inline V ShiftRight16(V a) { return _mm256_srli_epi16(a, n); }
template <int n> inline V ShiftLeft16(V a) { return _mm256_slli_epi16(a, n); }
inline V Spread(V a, V control) { return _mm256_shuffle_epi8(a, control); }
inline void TailBlock(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                      std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                      std::int32_t height) {
  narrow::Block(depth, d, dStride, s, sStride, k, kStride, width, height);
}
#include "effect/render/mask_blend_simd.inl"
}  // namespace wide
}  // namespace

void BlendBlockAvx2(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                    std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                    std::int32_t height) {
  wide::Block(depth, d, dStride, s, sStride, k, kStride, width, height);
}

#endif
