// rect_copy.h - plain rectangle copies and black fills between pixel surfaces.
//
// The effect's off-screen surfaces are DIB sections it owns, all at the display
// depth, so moving a rectangle between them is a row-by-row memory copy: no GDI
// round trip, no batching to flush, and the same bytes a SRCCOPY blit gives.
// Both routines clip the rectangle against the surfaces it touches (a negative
// corner is cut off as well), so a caller's geometry can never reach outside
// a surface's memory.
#ifndef GYREWELL_RECT_COPY_H
#define GYREWELL_RECT_COPY_H

#include <cstdint>

#include "effect/render/pixel_surface.h"

// Copies the width x height block at (sx, sy) of source to (dx, dy) of
// destination. The two may be the same surface only if the blocks do not overlap.
void CopyRect(std::int32_t depth, const PixelSurface& destination, std::int32_t dx, std::int32_t dy,
              std::int32_t width, std::int32_t height, const PixelSurface& source, std::int32_t sx, std::int32_t sy);

// Sets every byte of the width x height block at (x, y) to zero: black at every
// depth, the fourth byte at 32 bits included (as a BLACKNESS blit does).
void FillBlack(std::int32_t depth, const PixelSurface& destination, std::int32_t x, std::int32_t y,
               std::int32_t width, std::int32_t height);

// Copies the width x height block at (sx, sy) of source to (dx, dy) of
// destination, every pixel as a scale x scale square (nearest neighbour): the
// destination block is width * scale x height * scale. Blocks that do not lie
// wholly inside their surfaces, and a scale below 1, copy nothing.
void EnlargeRect(std::int32_t depth, const PixelSurface& destination, std::int32_t dx, std::int32_t dy,
                 std::int32_t width, std::int32_t height, const PixelSurface& source, std::int32_t sx,
                 std::int32_t sy, std::int32_t scale);

// Asks the processor for every row of a block that is about to be used, so that
// the misses of a sprite-sized block on a large surface (a new page every row)
// overlap instead of queueing. Does nothing where there is no prefetch.
void PrefetchRect(std::int32_t depth, const PixelSurface& surface, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height);

#endif
