// mask_blend_simd.inl - the SIMD blocks of MaskBlend, written once for any
// vector width. Included inside a namespace that first defines the vector type
// V, its width in bytes LANES, the operations below, the macro SPREADS_BYTES (1
// when Spread can move bytes within 16-byte lanes, as SSSE3's and AVX2's
// shuffles do; the file undefines it at its end), and the
// narrow block TailBlock for rows shorter than one vector: the 128-bit blocks
// (mask_blend_ops128.h) end in the scalar rows, the 256-bit ones in the 128-bit
// blocks.
//
// Operations: Load, Store (unaligned), NoneOf(a, b) (no bit of b is set in a),
// AllBits(a, b) (every bit of b is set in a), Zero, Set16/Set32 (broadcast), And, Or,
// Pick(c, a, b) (b where c is all ones, else a), CmpEq8/16, Add16, Sub16, Mul16
// (low half), MulHigh16 (high half, unsigned), ShiftRight16<n>, ShiftLeft16<n>;
// with SPREADS_BYTES also Spread(v, control) (a byte shuffle within each
// 16-byte lane) and LoadLanes(p0, p1) (16 bytes from p0 into lane 0 and, in a
// 256-bit vector, from p1 into lane 1); without it CmpEq32 and ShiftLeft32.
// An includer whose vectors have a widening byte multiply defines MixBytes
// itself, and OWN_MIX_BYTES 1 (undefined at the end too).
//
// Every vector of a row is mixed and then selected per byte (mask 0 keeps d, a
// full mask takes s); only a vector whose mask is empty or full throughout is
// decided as a whole. A row that is not a whole number of vectors ends in one
// more vector that overlaps the one before it: it is computed first, from the
// untouched destination, and stored last, so the bytes both cover get the same
// values from both. Only rows narrower than one vector go to the narrower block.

// Where mask is 0 keep d, where it is all ones take s, elsewhere the mix n.
inline V Select(V isZero, V isFull, V d, V s, V n) { return Pick(isZero, Pick(isFull, n, s), d); }

// Each Mix below returns false when the mask is empty over the whole vector
// (nothing to store), else the finished bytes in out. A full mask over the whole
// vector is the source as it stands. Sprite and pit masks are mostly empty or
// full in long runs, so these two tests save most of the arithmetic.

// 16 bits, one vector at byte o: the five-bit mask of every word.
inline bool Mix16(const std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t o, V& out) {
  const V five = Set16(31), one = Set16(1);
  const V kw = Load(k + o);
  if (NoneOf(kw, five)) return false;
  const V sw = Load(s + o);
  if (AllBits(kw, five)) {
    out = sw;
    return true;
  }
  const V m = And(kw, five);
  const V dw = Load(d + o), inverse = Sub16(five, m);
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
  out = Select(CmpEq16(m, Zero()), CmpEq16(m, five), dw, sw, mixed);
  return true;
}

#if !OWN_MIX_BYTES
// ((d * (255 - m)) >> 8) + ((s * m) >> 8) + 1 for every byte, then the selection;
// mv holds the mask value that governs each byte. Each 16-bit lane holds two
// bytes. A byte placed in the lane's high half and multiplied by w keeps, in the
// high half of the 32-bit product, exactly (byte * w) >> 8; so both bytes of a
// lane are mixed without unpacking.
inline V MixBytes(V dv, V sv, V mv) {
  const V low = Set16(0x00FF), high = Set16(0xFF00), one = Set16(1), zero = Zero();
  const V weightEven = And(mv, low), weightOdd = ShiftRight16<8>(mv);
  const V even = Add16(Add16(MulHigh16(ShiftLeft16<8>(dv), Sub16(low, weightEven)),
                             MulHigh16(ShiftLeft16<8>(sv), weightEven)),
                       one);
  const V odd = Add16(Add16(MulHigh16(And(dv, high), Sub16(low, weightOdd)), MulHigh16(And(sv, high), weightOdd)),
                      one);
  return Select(CmpEq8(mv, zero), CmpEq8(mv, CmpEq8(zero, zero)), dv, sv, Or(even, ShiftLeft16<8>(odd)));
}
#endif

// The bytes at o against their spread mask mv.
inline bool MixSpread(const std::uint8_t* d, const std::uint8_t* s, std::int32_t o, V mv, V& out) {
  if (NoneOf(mv, mv)) return false;
  const V sv = Load(s + o);
  const V ones = CmpEq8(mv, mv);
  out = AllBits(mv, ones) ? sv : MixBytes(Load(d + o), sv, mv);
  return true;
}

// 32 bits, one vector at byte o. A pixel's mask m governs its blue, green and
// red; its fourth byte follows the source only under a full mask, so its mask
// byte is 255 then and 0 otherwise.
inline bool Mix32(const std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t o, V& out) {
  const V kv = Load(k + o), low = Set32(0xFF);
  // Empty and full vectors are told from the mask bytes themselves.
  if (NoneOf(kv, low)) return false;
  const V sv = Load(s + o);
  if (AllBits(kv, low)) {
    out = sv;
    return true;
  }
#if SPREADS_BYTES
  static const std::uint8_t everyByte[16] = {0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12};
  const V m4 = Spread(kv, LoadLanes(everyByte, everyByte));  // m in all four bytes
  const V mv = And(m4, Or(Set32(0x00FFFFFF), CmpEq8(m4, CmpEq8(m4, m4))));
#else
  const V top = Set32(static_cast<std::int32_t>(0xFF000000u));
  const V m = And(kv, low);
  const V mv = Or(Or(m, ShiftLeft32<8>(m)), Or(ShiftLeft32<16>(m), And(CmpEq32(m, low), top)));
#endif
  out = MixBytes(Load(d + o), sv, mv);
  return true;
}

template <int Depth>
inline bool Mix(const std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t o, V& out);
template <>
inline bool Mix<16>(const std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t o, V& out) {
  return Mix16(d, s, k, o, out);
}
template <>
inline bool Mix<32>(const std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t o, V& out) {
  return Mix32(d, s, k, o, out);
}

#if SPREADS_BYTES
// 24 bits: a pixel's three bytes straddle the vectors. The 16 bytes from byte o
// need the masks of the pixels they belong to; loaded from the first of those
// pixels, o - o % 3, they lie within 16 bytes, and a shuffle picks byte
// t + r - (t + r) % 3 for byte t, where r = o % 3. Each 16-byte lane has its own
// r, so a 256-bit vector loads its two lanes apart.
inline V Spread24(const std::uint8_t* k, std::int32_t o) {
  static const std::uint8_t control[3][16] = {
      {0, 0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15},
      {0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15},
      {0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15, 15},
  };
  const std::int32_t r0 = o % 3, r1 = (o + 16) % 3;
  return Spread(LoadLanes(k + o - r0, k + o + 16 - r1), LoadLanes(control[r0], control[r1]));
}

template <>
inline bool Mix<24>(const std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t o, V& out) {
  return MixSpread(d, s, o, Spread24(k, o), out);
}
#endif

template <int Depth>
void BlockOf(std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s, std::ptrdiff_t sStride,
             const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width, std::int32_t height) {
  const std::int32_t bytes = width * (Depth / 8);
  if (bytes < LANES) {
    TailBlock(Depth, d, dStride, s, sStride, k, kStride, width, height);
    return;
  }
  const std::int32_t last = bytes - LANES;
  for (std::int32_t r = 0; r < height; ++r) {
    V end, v;
    const bool endChanges = Mix<Depth>(d, s, k, last, end);
    for (std::int32_t o = 0; o < last; o += LANES) {
      if (Mix<Depth>(d, s, k, o, v)) Store(d + o, v);
    }
    if (endChanges) Store(d + last, end);
    d += dStride;
    s += sStride;
    k += kStride;
  }
}

#if !SPREADS_BYTES
// 24 bits without a byte shuffle: each pass first spreads the mask of up to
// Chunk pixels over their bytes, on the stack, then mixes bytes against it.
constexpr std::int32_t Chunk = 64;

void Row24(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t width) {
  std::uint8_t expanded[Chunk * 3];
  for (std::int32_t start = 0; start < width; start += Chunk) {
    const std::int32_t n = width - start < Chunk ? width - start : Chunk;
    const std::uint8_t* mask = k + start * 3;
    for (std::int32_t j = 0; j < n; ++j) expanded[3 * j] = expanded[3 * j + 1] = expanded[3 * j + 2] = mask[3 * j];
    std::uint8_t* dd = d + start * 3;
    const std::uint8_t* ss = s + start * 3;
    const std::int32_t count = n * 3;
    std::int32_t i = 0;
    V v;
    for (; i + LANES <= count; i += LANES) {
      if (MixSpread(dd, ss, i, Load(expanded + i), v)) Store(dd + i, v);
    }
    TailExpanded(dd + i, ss + i, expanded + i, count - i);
  }
}

template <>
void BlockOf<24>(std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s, std::ptrdiff_t sStride,
                 const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width, std::int32_t height) {
  for (std::int32_t r = 0; r < height; ++r) Row24(d + r * dStride, s + r * sStride, k + r * kStride, width);
}
#endif

inline void Block(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                  std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                  std::int32_t height) {
  if (depth == 16) {
    BlockOf<16>(d, dStride, s, sStride, k, kStride, width, height);
  } else if (depth == 32) {
    BlockOf<32>(d, dStride, s, sStride, k, kStride, width, height);
  } else {
    BlockOf<24>(d, dStride, s, sStride, k, kStride, width, height);
  }
}

#undef SPREADS_BYTES
#undef OWN_MIX_BYTES
