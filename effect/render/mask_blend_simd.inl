// mask_blend_simd.inl - the SIMD rows of MaskBlend, written once for any vector
// width. Included inside a namespace that first defines the vector type V, its
// width in bytes LANES, the handful of operations below, and the tails: Tail16,
// Tail24 and Tail32 (d, s, k, width) finish the pixels left over after the last
// whole vector. The 128-bit rows (mask_blend_ops128.h, for SSE2 and again inside
// the AVX2 file) end in the scalar rows; the 256-bit rows end in the 128-bit ones,
// so a 24-pixel sprite row never falls back to scalar code for its last third.
//
// Operations: Load, Store (unaligned), Zero, Set16/Set32 (broadcast),
// And, Or, AndNot(a, b) = ~a & b, CmpEq8/16/32, Add16, Sub16, Mul16 (low half),
// MulHigh16 (high half, unsigned),
// ShiftRight16<n>, ShiftLeft16<n>, ShiftLeft32<n>, UnpackLo8/UnpackHi8 (bytes to
// words, with a zero vector), PackUs16 (words to bytes), MoveMask8 (the top bit
// of every byte) and AllLanes (MoveMask8 of a vector of ones). Unpack and pack
// pair up within each 128-bit lane, so their combination keeps the byte order at
// any width.
//
// Sprite and pit masks are mostly empty or full in long runs, so every row first
// looks at a whole vector of mask values: all empty leaves the destination, all
// full copies the source, empty and full alone (a hard edge) pick bytes, and only
// vectors with a partial mask pay for the arithmetic.

// Where mask is 0 keep d, where it is all ones take s, elsewhere the mix n.
inline V Select(V isZero, V isFull, V d, V s, V n) {
  return Or(And(isZero, d), Or(And(isFull, s), AndNot(Or(isZero, isFull), n)));
}

void Row16(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t width) {
  const std::int32_t step = LANES / 2;
  const V five = Set16(31), one = Set16(1), zero = Zero();
  std::int32_t j = 0;
  for (; j + step <= width; j += step) {
    const V m = And(Load(k + 2 * j), five);
    const V isZero = CmpEq16(m, zero), isFull = CmpEq16(m, five);
    if (MoveMask8(isZero) == AllLanes) continue;
    const V sw = Load(s + 2 * j);
    if (MoveMask8(isFull) == AllLanes) {
      Store(d + 2 * j, sw);
      continue;
    }
    const V dw = Load(d + 2 * j);
    if (MoveMask8(Or(isZero, isFull)) == AllLanes) {
      Store(d + 2 * j, Or(And(isFull, sw), AndNot(isFull, dw)));
      continue;
    }
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
    Store(d + 2 * j, Select(isZero, isFull, dw, sw, mixed));
  }
  Tail16(d + 2 * j, s + 2 * j, k + 2 * j, width - j);
}

// ((d * (255 - m)) >> 8) + ((s * m) >> 8) + 1 for every byte, then the selection.
// Each 16-bit lane holds two bytes. A byte placed in the lane's high half and
// multiplied by w keeps, in the high half of the 32-bit product, exactly
// (byte * w) >> 8; so both bytes of a lane are mixed without unpacking.
inline V MixBytes(V dv, V sv, V mv, V isZero, V isFull) {
  const V low = Set16(0x00FF), high = Set16(0xFF00), one = Set16(1);
  const V weightEven = And(mv, low), weightOdd = ShiftRight16<8>(mv);
  const V even = Add16(Add16(MulHigh16(ShiftLeft16<8>(dv), Sub16(low, weightEven)),
                             MulHigh16(ShiftLeft16<8>(sv), weightEven)),
                       one);
  const V odd = Add16(Add16(MulHigh16(And(dv, high), Sub16(low, weightOdd)), MulHigh16(And(sv, high), weightOdd)),
                      one);
  return Select(isZero, isFull, dv, sv, Or(even, ShiftLeft16<8>(odd)));
}

// Byte rows against an expanded mask e (see mask_blend_kernels.h).
void RowExpanded(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* e, std::int32_t count) {
  const V zero = Zero(), ones = CmpEq8(zero, zero);
  std::int32_t i = 0;
  for (; i + LANES <= count; i += LANES) {
    const V mv = Load(e + i);
    const V isZero = CmpEq8(mv, zero), isFull = CmpEq8(mv, ones);
    if (MoveMask8(isZero) == AllLanes) continue;
    const V sv = Load(s + i);
    if (MoveMask8(isFull) == AllLanes) {
      Store(d + i, sv);
      continue;
    }
    const V dv = Load(d + i);
    if (MoveMask8(Or(isZero, isFull)) == AllLanes) {
      Store(d + i, Or(And(isFull, sv), AndNot(isFull, dv)));
      continue;
    }
    Store(d + i, MixBytes(dv, sv, mv, isZero, isFull));
  }
  TailExpanded(d + i, s + i, e + i, count - i);
}

// 32 bits: the mask expands inside the register. A pixel's mask m governs its
// blue, green and red; its fourth byte follows the source only under a full mask.
void Row32(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t width) {
  const V low = Set32(0xFF), top = Set32(static_cast<std::int32_t>(0xFF000000u)), zero = Zero();
  const V ones = CmpEq8(zero, zero);
  std::int32_t j = 0;
  for (; j + LANES / 4 <= width; j += LANES / 4) {
    const V m = And(Load(k + 4 * j), low);
    const V pixelZero = CmpEq32(m, zero), pixelFull = CmpEq32(m, low);
    if (MoveMask8(pixelZero) == AllLanes) continue;
    const V sv = Load(s + 4 * j);
    if (MoveMask8(pixelFull) == AllLanes) {
      Store(d + 4 * j, sv);
      continue;
    }
    const V dv = Load(d + 4 * j);
    if (MoveMask8(Or(pixelZero, pixelFull)) == AllLanes) {
      Store(d + 4 * j, Or(And(pixelFull, sv), AndNot(pixelFull, dv)));
      continue;
    }
    const V mv = Or(Or(m, ShiftLeft32<8>(m)), Or(ShiftLeft32<16>(m), And(pixelFull, top)));
    Store(d + 4 * j, MixBytes(dv, sv, mv, CmpEq8(mv, zero), CmpEq8(mv, ones)));
  }
  Tail32(d + 4 * j, s + 4 * j, k + 4 * j, width - j);
}

// 24 bits: a pixel's three bytes straddle the vector lanes, so each pass first
// spreads the mask of up to Chunk pixels over their bytes, on the stack.
constexpr std::int32_t Chunk = 64;

void Row24(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t width) {
  std::uint8_t expanded[Chunk * 3];
  for (std::int32_t start = 0; start < width; start += Chunk) {
    const std::int32_t n = width - start < Chunk ? width - start : Chunk;
    const std::uint8_t* mask = k + start * 3;
    for (std::int32_t j = 0; j < n; ++j) expanded[3 * j] = expanded[3 * j + 1] = expanded[3 * j + 2] = mask[3 * j];
    RowExpanded(d + start * 3, s + start * 3, expanded, n * 3);
  }
}

inline void Row(std::int32_t depth, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t width) {
  if (depth == 16) {
    Row16(d, s, k, width);
  } else if (depth == 32) {
    Row32(d, s, k, width);
  } else {
    Row24(d, s, k, width);
  }
}
