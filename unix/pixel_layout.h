// pixel_layout.h - a display server's pixels next to the effect's own.
//
// The effect composes at 16, 24 or 32 bits in its fixed formats
// (effect/render/pixel_surface.h: 5-5-5 words, or B,G,R[,X] bytes). A
// TrueColor visual says where its channels lie by three masks, and the server
// says in which byte order images travel. Where both agree with the effect's
// format the composed bytes go to the server as they are; otherwise blocks are
// converted on their way out (and the desktop on its way in). The usual 16-bit
// visual is 5-6-5: green widens from five bits to six by repeating its top
// bit, and narrows back by dropping the lowest, so a frame read back from the
// server still tells the composed word exactly.
//
// A depth-32 visual (the ARGB windows compositors hand out) has eight bits
// beyond its channels: alpha. The effect leaves its spare byte 0, which a
// compositor shows as fully transparent, so those bits are set on the way out.
//
// The same masks describe the pixels of a Wayland compositor's shared-memory
// formats (XRGB8888 is 32 bits with red at 0xFF0000, least significant byte
// first; XBGR8888 has red and blue swapped), in which a desktop is read back.
//
// Plain memory and integers only; no Xlib here.
#ifndef GYREWELL_UNIX_PIXEL_LAYOUT_H
#define GYREWELL_UNIX_PIXEL_LAYOUT_H

#include <cstdint>

struct PixelLayout {
  std::int32_t bitsPerPixel;  // 16, 24 or 32 in memory
  std::uint32_t redMask, greenMask, blueMask;
  bool msbFirst;              // the image byte order is most significant byte first
  std::uint32_t opaqueMask = 0;  // bits set in every pixel sent: alpha, or none (see OpaqueBits)
};

// The bits of a pixel of a visual of that depth that no channel covers: the
// alpha of a depth-32 visual, 0 at 15, 16 and 24 (the spare bits of a 24-bit
// pixel in 32 bits are no part of the depth).
std::uint32_t OpaqueBits(const PixelLayout& layout, std::int32_t depth);

// The depth the effect composes at for pixels of this layout (its bits per
// pixel), or 0 when it cannot: other sizes, or a mask that is empty, not one
// run of bits, or overlaps another.
std::int32_t CompositionDepth(const PixelLayout& layout);

// True when the effect's pixels at depth are, byte for byte, what the server
// takes (ignoring the spare bits at 16 and 32, and opaqueMask, which
// SetOpaqueBits puts in).
bool MatchesComposition(const PixelLayout& layout, std::int32_t depth);

// Converts width x height pixels of the effect's format at depth (rows
// sourceStride bytes apart) to the layout (rows targetStride bytes apart),
// with the layout's opaqueMask set.
void ConvertToServer(const PixelLayout& layout, std::uint8_t* target, std::int32_t targetStride,
                     const std::uint8_t* source, std::int32_t sourceStride, std::int32_t depth, std::int32_t width,
                     std::int32_t height);

// Sets the layout's opaqueMask in width x height pixels of the layout (rows
// stride bytes apart); nothing else changes.
void SetOpaqueBits(const PixelLayout& layout, std::uint8_t* pixels, std::int32_t stride, std::int32_t width,
                   std::int32_t height);

// The other way: pixels of the layout into the effect's format at depth, each
// channel cut to the effect's bits; the spare bits come out zero.
void ConvertFromServer(const PixelLayout& layout, std::uint8_t* target, std::int32_t targetStride,
                       const std::uint8_t* source, std::int32_t sourceStride, std::int32_t depth, std::int32_t width,
                       std::int32_t height);

#endif
