// mask_blend_avx2.cpp - the 256-bit rows. This file alone is compiled for AVX2;
// MaskBlend calls into it only when the processor reports AVX2. What is left of a
// row after the last 256-bit vector goes through the 128-bit rows, then scalar.
#include "effect/render/mask_blend_kernels.h"

#if GYREWELL_X86_KERNELS
#include <immintrin.h>

namespace {
namespace narrow {
#include "effect/render/mask_blend_ops128.h"
#include "effect/render/mask_blend_simd.inl"
}  // namespace narrow

namespace wide {
using V = __m256i;
constexpr int LANES = 32;
constexpr int AllLanes = -1;
inline V Load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
inline void Store(std::uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
inline V Zero() { return _mm256_setzero_si256(); }
inline V Set16(int v) { return _mm256_set1_epi16(static_cast<short>(v)); }
inline V Set32(int v) { return _mm256_set1_epi32(v); }
inline V And(V a, V b) { return _mm256_and_si256(a, b); }
inline V Or(V a, V b) { return _mm256_or_si256(a, b); }
inline V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
inline V CmpEq8(V a, V b) { return _mm256_cmpeq_epi8(a, b); }
inline V CmpEq16(V a, V b) { return _mm256_cmpeq_epi16(a, b); }
inline V CmpEq32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
inline V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
inline V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
inline V Mul16(V a, V b) { return _mm256_mullo_epi16(a, b); }
inline V MulHigh16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
template <int n> inline V ShiftRight16(V a) { return _mm256_srli_epi16(a, n); }
template <int n> inline V ShiftLeft16(V a) { return _mm256_slli_epi16(a, n); }
template <int n> inline V ShiftLeft32(V a) { return _mm256_slli_epi32(a, n); }
inline V UnpackLo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
inline V UnpackHi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
inline V PackUs16(V a, V b) { return _mm256_packus_epi16(a, b); }
inline int MoveMask8(V a) { return _mm256_movemask_epi8(a); }
inline void Tail16(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t n) {
  narrow::Row16(d, s, k, n);
}
inline void Tail32(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t n) {
  narrow::Row32(d, s, k, n);
}
inline void TailExpanded(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* e, std::int32_t n) {
  narrow::RowExpanded(d, s, e, n);
}
#include "effect/render/mask_blend_simd.inl"
}  // namespace wide
}  // namespace

void BlendRowAvx2(std::int32_t depth, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k,
                  std::int32_t width) {
  wide::Row(depth, d, s, k, width);
}

#endif
