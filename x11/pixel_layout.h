// pixel_layout.h - the X server's pixels next to the effect's own.
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
// Plain memory and integers only; no Xlib here.
#ifndef GYREWELL_X11_PIXEL_LAYOUT_H
#define GYREWELL_X11_PIXEL_LAYOUT_H

#include <cstdint>

struct PixelLayout {
  std::int32_t bitsPerPixel;  // 16, 24 or 32 in memory
  std::uint32_t redMask, greenMask, blueMask;
  bool msbFirst;              // the image byte order is most significant byte first
};

// The depth the effect composes at for pixels of this layout (its bits per
// pixel), or 0 when it cannot: other sizes, or a mask that is empty, not one
// run of bits, or overlaps another.
std::int32_t CompositionDepth(const PixelLayout& layout);

// True when the effect's pixels at depth are, byte for byte, what the server
// takes (ignoring the spare bits at 16 and 32).
bool MatchesComposition(const PixelLayout& layout, std::int32_t depth);

// Converts width x height pixels of the effect's format at depth (rows
// sourceStride bytes apart) to the layout (rows targetStride bytes apart).
void ConvertToServer(const PixelLayout& layout, std::uint8_t* target, std::int32_t targetStride,
                     const std::uint8_t* source, std::int32_t sourceStride, std::int32_t depth, std::int32_t width,
                     std::int32_t height);

// The other way: pixels of the layout into the effect's format at depth, each
// channel cut to the effect's bits; the spare bits come out zero.
void ConvertFromServer(const PixelLayout& layout, std::uint8_t* target, std::int32_t targetStride,
                       const std::uint8_t* source, std::int32_t sourceStride, std::int32_t depth, std::int32_t width,
                       std::int32_t height);

#endif
