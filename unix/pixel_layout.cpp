// pixel_layout.cpp - see pixel_layout.h.
//
// The effect's own formats are layouts too: least significant byte first, red
// above green above blue. Every conversion is one layout to another, channel
// by channel; the 5-5-5 to 5-6-5 case, which a 16-bit display pays for every
// presented block, has a loop of its own.
#include "unix/pixel_layout.h"

#include <cstring>

namespace {

struct Channel {
  std::int32_t shift;  // lowest bit
  std::int32_t bits;
};

PixelLayout EffectLayout(std::int32_t depth) {
  if (depth == 16) return PixelLayout{16, 0x7C00, 0x03E0, 0x001F, false};
  return PixelLayout{depth, 0xFF0000, 0x00FF00, 0x0000FF, false};
}

// A mask as one run of bits; bits is 0 for a mask that is empty or not one run.
Channel MaskChannel(std::uint32_t mask) {
  if (mask == 0) return Channel{0, 0};
  std::int32_t shift = 0;
  while ((mask >> shift & 1) == 0) ++shift;
  std::int32_t bits = 0;
  while (shift + bits < 32 && (mask >> (shift + bits) & 1) != 0) ++bits;
  if (shift + bits < 32 && (mask >> (shift + bits)) != 0) return Channel{shift, 0};
  return Channel{shift, bits};
}

std::uint32_t ReadPixel(const std::uint8_t* p, std::int32_t bytes, bool msbFirst) {
  std::uint32_t value = 0;
  for (std::int32_t i = 0; i < bytes; ++i) {
    const std::uint32_t byte = p[msbFirst ? i : bytes - 1 - i];
    value = value << 8 | byte;
  }
  return value;
}

void WritePixel(std::uint8_t* p, std::int32_t bytes, bool msbFirst, std::uint32_t value) {
  for (std::int32_t i = 0; i < bytes; ++i) {
    p[msbFirst ? bytes - 1 - i : i] = static_cast<std::uint8_t>(value);
    value >>= 8;
  }
}

// A channel value of `from` bits as `to` bits: cut from the bottom, or widened
// by repeating its bits, so that full intensity stays full and a value widened
// and cut again comes back unchanged.
std::uint32_t Rescale(std::uint32_t value, std::int32_t from, std::int32_t to) {
  if (to <= from) return value >> (from - to);
  std::uint32_t out = 0;
  std::int32_t have = 0;
  while (have < to) {
    out = out << from | value;
    have += from;
  }
  return out >> (have - to);
}

void Convert(const PixelLayout& to, std::uint8_t* target, std::int32_t targetStride, const PixelLayout& from,
             const std::uint8_t* source, std::int32_t sourceStride, std::int32_t width, std::int32_t height) {
  const Channel in[3] = {MaskChannel(from.redMask), MaskChannel(from.greenMask), MaskChannel(from.blueMask)};
  const Channel out[3] = {MaskChannel(to.redMask), MaskChannel(to.greenMask), MaskChannel(to.blueMask)};
  const std::int32_t inBytes = from.bitsPerPixel / 8, outBytes = to.bitsPerPixel / 8;
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* s = source + static_cast<std::ptrdiff_t>(y) * sourceStride;
    std::uint8_t* t = target + static_cast<std::ptrdiff_t>(y) * targetStride;
    for (std::int32_t x = 0; x < width; ++x, s += inBytes, t += outBytes) {
      const std::uint32_t pixel = ReadPixel(s, inBytes, from.msbFirst);
      std::uint32_t result = 0;
      for (int c = 0; c < 3; ++c) {
        const std::uint32_t value = pixel >> in[c].shift & ((1u << in[c].bits) - 1);
        result |= Rescale(value, in[c].bits, out[c].bits) << out[c].shift;
      }
      WritePixel(t, outBytes, to.msbFirst, result);
    }
  }
}

bool SameLayout(const PixelLayout& a, const PixelLayout& b) {
  return a.bitsPerPixel == b.bitsPerPixel && a.redMask == b.redMask && a.greenMask == b.greenMask &&
         a.blueMask == b.blueMask && a.msbFirst == b.msbFirst;
}

// 5-5-5 words to 5-6-5 words, both least significant byte first.
void Widen555To565(std::uint8_t* target, std::int32_t targetStride, const std::uint8_t* source,
                   std::int32_t sourceStride, std::int32_t width, std::int32_t height) {
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* s = source + static_cast<std::ptrdiff_t>(y) * sourceStride;
    std::uint8_t* t = target + static_cast<std::ptrdiff_t>(y) * targetStride;
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint32_t p = static_cast<std::uint32_t>(s[2 * x] | s[2 * x + 1] << 8);
      // Red and green move up one bit; green's top bit also fills its new lowest.
      const std::uint32_t q = (p & 0x7FE0) << 1 | (p >> 4 & 0x20) | (p & 0x1F);
      t[2 * x] = static_cast<std::uint8_t>(q);
      t[2 * x + 1] = static_cast<std::uint8_t>(q >> 8);
    }
  }
}

}  // namespace

std::uint32_t OpaqueBits(const PixelLayout& layout, std::int32_t depth) {
  const std::uint32_t all = depth >= 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
  return all & ~(layout.redMask | layout.greenMask | layout.blueMask);
}

void SetOpaqueBits(const PixelLayout& layout, std::uint8_t* pixels, std::int32_t stride, std::int32_t width,
                   std::int32_t height) {
  const std::uint32_t opaque = layout.opaqueMask;
  if (opaque == 0) return;
  const std::int32_t bytes = layout.bitsPerPixel / 8;
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* p = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    if (bytes == 4 && opaque == 0xFF000000u && !layout.msbFirst) {  // ARGB on a PC: the fourth byte
      for (std::int32_t x = 0; x < width; ++x) p[4 * x + 3] = 0xFF;
      continue;
    }
    for (std::int32_t x = 0; x < width; ++x, p += bytes)
      WritePixel(p, bytes, layout.msbFirst, ReadPixel(p, bytes, layout.msbFirst) | opaque);
  }
}

std::int32_t CompositionDepth(const PixelLayout& layout) {
  const std::int32_t bpp = layout.bitsPerPixel;
  if (bpp != 16 && bpp != 24 && bpp != 32) return 0;
  const Channel c[3] = {MaskChannel(layout.redMask), MaskChannel(layout.greenMask), MaskChannel(layout.blueMask)};
  for (const Channel& channel : c)
    if (channel.bits == 0 || channel.shift + channel.bits > bpp) return 0;
  if ((layout.redMask & layout.greenMask) != 0 || (layout.redMask & layout.blueMask) != 0 ||
      (layout.greenMask & layout.blueMask) != 0)
    return 0;
  return bpp;
}

bool MatchesComposition(const PixelLayout& layout, std::int32_t depth) {
  return SameLayout(layout, EffectLayout(depth));
}

void ConvertToServer(const PixelLayout& layout, std::uint8_t* target, std::int32_t targetStride,
                     const std::uint8_t* source, std::int32_t sourceStride, std::int32_t depth, std::int32_t width,
                     std::int32_t height) {
  if (MatchesComposition(layout, depth)) {
    for (std::int32_t y = 0; y < height; ++y)
      std::memcpy(target + static_cast<std::ptrdiff_t>(y) * targetStride,
                  source + static_cast<std::ptrdiff_t>(y) * sourceStride,
                  static_cast<std::size_t>(width) * (depth / 8));
  } else if (depth == 16 && SameLayout(layout, PixelLayout{16, 0xF800, 0x07E0, 0x001F, false})) {
    Widen555To565(target, targetStride, source, sourceStride, width, height);
  } else {
    Convert(layout, target, targetStride, EffectLayout(depth), source, sourceStride, width, height);
  }
  SetOpaqueBits(layout, target, targetStride, width, height);
}

void ConvertFromServer(const PixelLayout& layout, std::uint8_t* target, std::int32_t targetStride,
                       const std::uint8_t* source, std::int32_t sourceStride, std::int32_t depth, std::int32_t width,
                       std::int32_t height) {
  Convert(EffectLayout(depth), target, targetStride, layout, source, sourceStride, width, height);
}
