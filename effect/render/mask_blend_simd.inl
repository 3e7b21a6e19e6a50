// mask_blend_simd.inl - the SIMD rows of MaskBlend, written once for any vector
// width. Included by mask_blend_sse2.cpp (128-bit) and mask_blend_avx2.cpp
// (256-bit, compiled for AVX2), each of which first defines the vector type V,
// its width in bytes LANES, the handful of operations below and ROW_NAME.
//
// Operations: Load, Store (unaligned), Zero, Set8/Set16/Set32 (broadcast),
// And, Or, AndNot(a, b) = ~a & b, CmpEq8/16/32, Add16, Sub16, Mul16 (low half),
// ShiftRight16<n>, ShiftLeft16<n>, ShiftLeft32<n>, UnpackLo8/UnpackHi8 (bytes to
// words, with a zero vector), PackUs16 (words to bytes). Unpack and pack pair up
// within each 128-bit lane, so their combination keeps the byte order at any width.

namespace {

// Where mask is 0 keep d, where it is all ones take s, elsewhere the mix n.
inline V Select(V isZero, V isFull, V d, V s, V n) {
  return Or(And(isZero, d), Or(And(isFull, s), AndNot(Or(isZero, isFull), n)));
}

void Row16(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t width) {
  const std::int32_t step = LANES / 2;
  const V five = Set16(31), one = Set16(1), zero = Zero();
  std::int32_t j = 0;
  for (; j + step <= width; j += step) {
    const V dw = Load(d + 2 * j), sw = Load(s + 2 * j);
    const V m = And(Load(k + 2 * j), five);
    const V inverse = Sub16(five, m);
    // ((d * (31 - m) + s * m) >> 5) + 1 for each five-bit channel: at most 961, so
    // the 16-bit lanes never overflow.
    const V blue = Add16(ShiftRight16<5>(Add16(Mul16(And(dw, five), inverse), Mul16(And(sw, five), m))), one);
    const V green = Add16(ShiftRight16<5>(Add16(Mul16(And(ShiftRight16<5>(dw), five), inverse),
                                                Mul16(And(ShiftRight16<5>(sw), five), m))),
                          one);
    const V red = Add16(ShiftRight16<5>(Add16(Mul16(And(ShiftRight16<10>(dw), five), inverse),
                                              Mul16(And(ShiftRight16<10>(sw), five), m))),
                        one);
    const V mixed = Or(blue, Or(ShiftLeft16<5>(green), ShiftLeft16<10>(red)));
    Store(d + 2 * j, Select(CmpEq16(m, zero), CmpEq16(m, five), dw, sw, mixed));
  }
  Blend16Row(d, s, k, j, width);
}

// Byte rows against an expanded mask e (see mask_blend_kernels.h).
void RowExpanded(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* e, std::int32_t count) {
  const V full = Set16(255), one = Set16(1), zero = Zero(), ones = CmpEq8(zero, zero);
  std::int32_t i = 0;
  for (; i + LANES <= count; i += LANES) {
    const V dv = Load(d + i), sv = Load(s + i), mv = Load(e + i);
    const V mLow = UnpackLo8(mv, zero), mHigh = UnpackHi8(mv, zero);
    // ((d * (255 - m)) >> 8) + ((s * m) >> 8) + 1: products of two bytes fit 16 bits.
    const V low = Add16(Add16(ShiftRight16<8>(Mul16(UnpackLo8(dv, zero), Sub16(full, mLow))),
                              ShiftRight16<8>(Mul16(UnpackLo8(sv, zero), mLow))),
                        one);
    const V high = Add16(Add16(ShiftRight16<8>(Mul16(UnpackHi8(dv, zero), Sub16(full, mHigh))),
                               ShiftRight16<8>(Mul16(UnpackHi8(sv, zero), mHigh))),
                         one);
    Store(d + i, Select(CmpEq8(mv, zero), CmpEq8(mv, ones), dv, sv, PackUs16(low, high)));
  }
  for (; i < count; ++i) {
    const std::uint32_t m = e[i];
    if (m == 255) d[i] = s[i];
    else if (m != 0) d[i] = static_cast<std::uint8_t>(((d[i] * (255 - m)) >> 8) + ((s[i] * m) >> 8) + 1);
  }
}

// Pixels per pass of the byte rows: the expanded mask lives on the stack.
constexpr std::int32_t Chunk = 64;

void RowBytes(std::int32_t bytes, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k,
              std::int32_t width) {
  std::uint8_t expanded[Chunk * 4];
  for (std::int32_t start = 0; start < width; start += Chunk) {
    const std::int32_t n = width - start < Chunk ? width - start : Chunk;
    const std::uint8_t* mask = k + start * bytes;
    std::int32_t j = 0;
    if (bytes == 4) {
      const V low = Set32(0xFF), top = Set32(static_cast<std::int32_t>(0xFF000000u));
      for (; j + LANES / 4 <= n; j += LANES / 4) {
        const V m = And(Load(mask + 4 * j), low);
        const V spread = Or(m, Or(ShiftLeft32<8>(m), ShiftLeft32<16>(m)));
        Store(expanded + 4 * j, Or(spread, And(CmpEq32(m, low), top)));
      }
    }
    for (; j < n; ++j) {
      const std::uint8_t m = mask[j * bytes];
      expanded[j * bytes] = expanded[j * bytes + 1] = expanded[j * bytes + 2] = m;
      if (bytes == 4) expanded[j * 4 + 3] = m == 255 ? 255 : 0;
    }
    RowExpanded(d + start * bytes, s + start * bytes, expanded, n * bytes);
  }
}

}  // namespace

void ROW_NAME(std::int32_t depth, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t width) {
  if (depth == 16) {
    Row16(d, s, k, width);
  } else {
    RowBytes(depth / 8, d, s, k, width);
  }
}
