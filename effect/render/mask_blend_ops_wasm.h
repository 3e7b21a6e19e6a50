// mask_blend_ops_wasm.h - the 128-bit operations of the MaskBlend blocks as
// WebAssembly SIMD, with the scalar rows for narrow blocks; include inside a
// namespace, after <wasm_simd128.h>, SPREADS_BYTES 1 and OWN_MIX_BYTES 1, followed by
// mask_blend_simd.inl (internal).
//
// WebAssembly multiplies bytes into 16-bit products (extmul), so the byte mix
// takes those, not the high halves of 16-bit products the x86 blocks use: the
// same values in about half the instructions.
//
// WebAssembly has a byte shuffle (swizzle; every control byte the blocks use
// is below 16, where it picks exactly as SSSE3's does), a bit select and an
// any-bit test, but no unsigned high-half multiply: that one is two widening
// multiplies and a shuffle of their high halves.

using V = v128_t;
constexpr int LANES = 16;
inline V Load(const std::uint8_t* p) { return wasm_v128_load(p); }
inline V LoadLanes(const std::uint8_t* lane0, const std::uint8_t*) { return Load(lane0); }
inline void Store(std::uint8_t* p, V v) { wasm_v128_store(p, v); }
inline V Zero() { return wasm_i32x4_splat(0); }
inline V Set16(int v) { return wasm_i16x8_splat(static_cast<std::int16_t>(v)); }
inline V Set32(int v) { return wasm_i32x4_splat(v); }
inline V And(V a, V b) { return wasm_v128_and(a, b); }
inline V Or(V a, V b) { return wasm_v128_or(a, b); }
inline V Pick(V c, V a, V b) { return wasm_v128_bitselect(b, a, c); }
inline bool NoneOf(V a, V b) { return !wasm_v128_any_true(wasm_v128_and(a, b)); }
inline bool AllBits(V a, V b) { return !wasm_v128_any_true(wasm_v128_andnot(b, a)); }
inline V CmpEq8(V a, V b) { return wasm_i8x16_eq(a, b); }
inline V CmpEq16(V a, V b) { return wasm_i16x8_eq(a, b); }
inline V Add16(V a, V b) { return wasm_i16x8_add(a, b); }
inline V Sub16(V a, V b) { return wasm_i16x8_sub(a, b); }
inline V Mul16(V a, V b) { return wasm_i16x8_mul(a, b); }
inline V MulHigh16(V a, V b) {
  const V low = wasm_u32x4_extmul_low_u16x8(a, b), high = wasm_u32x4_extmul_high_u16x8(a, b);
  return wasm_i16x8_shuffle(low, high, 1, 3, 5, 7, 9, 11, 13, 15);
}
template <int n> inline V ShiftRight16(V a) { return wasm_u16x8_shr(a, n); }
template <int n> inline V ShiftLeft16(V a) { return wasm_i16x8_shl(a, n); }
inline V Spread(V a, V control) { return wasm_i8x16_swizzle(a, control); }
inline V Select(V isZero, V isFull, V d, V s, V n);

// ((d * (255 - m)) >> 8) + ((s * m) >> 8) + 1 for every byte (at most 255, so
// the narrowing keeps it), then the selection; mv holds each byte's mask.
inline V MixBytes(V dv, V sv, V mv) {
  const V inverse = wasm_v128_not(mv), one = wasm_i16x8_splat(1), zero = Zero();
  const V low = wasm_i16x8_add(wasm_i16x8_add(wasm_u16x8_shr(wasm_u16x8_extmul_low_u8x16(dv, inverse), 8),
                                              wasm_u16x8_shr(wasm_u16x8_extmul_low_u8x16(sv, mv), 8)),
                               one);
  const V high = wasm_i16x8_add(wasm_i16x8_add(wasm_u16x8_shr(wasm_u16x8_extmul_high_u8x16(dv, inverse), 8),
                                               wasm_u16x8_shr(wasm_u16x8_extmul_high_u8x16(sv, mv), 8)),
                                one);
  return Select(CmpEq8(mv, zero), CmpEq8(mv, CmpEq8(zero, zero)), dv, sv, wasm_u8x16_narrow_i16x8(low, high));
}

inline void TailBlock(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                      std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                      std::int32_t height) {
  BlendBlockScalar(depth, d, dStride, s, sStride, k, kStride, width, height);
}
