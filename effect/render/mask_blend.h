// mask_blend.h - mixes a source rectangle into a destination through a grey mask.
//
// For every pixel: mask 0 keeps the destination; a full mask (31 at 16 bits,
// 255 at 24/32) copies the source whole (bit 15 and the fourth byte included);
// anything between mixes each colour channel:
//   16 bits  n = ((d * (31 - m) + s * m) >> 5) + 1           (bit 15 becomes 0)
//   24/32    n = ((d * (255 - m)) >> 8) + ((s * m) >> 8) + 1  (fourth byte kept)
// The +1 is part of the look: a partial mask never yields black or, at 24/32,
// pure white. The mask value is the blue channel of the mask pixel (the low five
// bits at 16 bits); the other channels are not read.
//
// No clipping and no argument checks: callers keep the three rectangles inside
// their surfaces and apart from one another. A width or height below 1, or a
// depth other than 16, 24 or 32, draws nothing.
#ifndef GYREWELL_MASK_BLEND_H
#define GYREWELL_MASK_BLEND_H

#include <cstdint>

#include "effect/render/pixel_surface.h"

// On x86-64 the rows run as SSE2, or AVX2 where the processor has it, and in a
// WebAssembly module built with SIMD as its 128-bit vectors; the bytes written
// are those of MaskBlendScalar, the plain reference, in every case.
std::int32_t MaskBlend(std::int32_t depth, const PixelSurface& destination, std::int32_t dx, std::int32_t dy,
                       std::int32_t width, std::int32_t height, const PixelSurface& source, std::int32_t sx,
                       std::int32_t sy, const PixelSurface& mask, std::int32_t mx, std::int32_t my);

std::int32_t MaskBlendScalar(std::int32_t depth, const PixelSurface& destination, std::int32_t dx, std::int32_t dy,
                             std::int32_t width, std::int32_t height, const PixelSurface& source, std::int32_t sx,
                             std::int32_t sy, const PixelSurface& mask, std::int32_t mx, std::int32_t my);

// "avx2", "sse2", "wasm128" or "scalar": the rows MaskBlend uses on this processor.
const char* MaskBlendKernelName();

#endif
