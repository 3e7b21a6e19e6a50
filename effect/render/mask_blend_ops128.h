// mask_blend_ops128.h - the 128-bit operations and scalar tails that the 128-bit
// MaskBlend blocks are built from; include inside a namespace, followed by
// mask_blend_simd.inl (internal). The includer has included <emmintrin.h> and
// defined SPREADS_BYTES: 0 for plain SSE2, which has no byte shuffle (the
// blocks spread the mask with shifts), 1 where SSSE3's shuffle may be used
// (the file compiled for AVX2, <immintrin.h> included).

using V = __m128i;
constexpr int LANES = 16;
constexpr int AllLanes = 0xFFFF;
inline V Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
inline void Store(std::uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
inline V Zero() { return _mm_setzero_si128(); }
inline V Set16(int v) { return _mm_set1_epi16(static_cast<short>(v)); }
inline V Set32(int v) { return _mm_set1_epi32(v); }
inline V And(V a, V b) { return _mm_and_si128(a, b); }
inline V Or(V a, V b) { return _mm_or_si128(a, b); }
inline V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
inline V Pick(V c, V a, V b) { return Or(And(c, b), AndNot(c, a)); }
inline bool NoneOf(V a, V b) { return _mm_movemask_epi8(_mm_cmpeq_epi8(And(a, b), _mm_setzero_si128())) == 0xFFFF; }
inline bool AllBits(V a, V b) { return NoneOf(AndNot(a, b), b); }
inline V CmpEq8(V a, V b) { return _mm_cmpeq_epi8(a, b); }
inline V CmpEq16(V a, V b) { return _mm_cmpeq_epi16(a, b); }
inline V CmpEq32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
inline V Add16(V a, V b) { return _mm_add_epi16(a, b); }
inline V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
inline V Mul16(V a, V b) { return _mm_mullo_epi16(a, b); }
inline V MulHigh16(V a, V b) { return _mm_mulhi_epu16(a, b); }
template <int n> inline V ShiftRight16(V a) { return _mm_srli_epi16(a, n); }
template <int n> inline V ShiftLeft16(V a) { return _mm_slli_epi16(a, n); }
template <int n> inline V ShiftLeft32(V a) { return _mm_slli_epi32(a, n); }
#if SPREADS_BYTES
inline V Spread(V a, V control) { return _mm_shuffle_epi8(a, control); }
inline V LoadLanes(const std::uint8_t* lane0, const std::uint8_t*) { return Load(lane0); }
#endif

// Rows shorter than one vector.
inline void TailBlock(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                      std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                      std::int32_t height) {
  BlendBlockScalar(depth, d, dStride, s, sStride, k, kStride, width, height);
}

// Bytes against a mask already spread over them.
inline void TailExpanded(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* e, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t m = e[i];
    if (m == 255) d[i] = s[i];
    else if (m != 0) d[i] = static_cast<std::uint8_t>(((d[i] * (255 - m)) >> 8) + ((s[i] * m) >> 8) + 1);
  }
}
