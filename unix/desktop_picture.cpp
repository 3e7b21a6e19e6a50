// desktop_picture.cpp - see desktop_picture.h.
#include "unix/desktop_picture.h"

#include <algorithm>
#include <cstddef>

void LayDesktopPicture(const DesktopPicture& p, const PixelSurface& snapshot, std::int32_t depth,
                       std::int32_t width, std::int32_t height) {
  if (p.pixels == nullptr || CompositionDepth(p.layout) == 0) return;
  const std::int32_t x0 = std::max(0, p.x), x1 = std::min({width, snapshot.width, p.x + p.width});
  const std::int32_t y0 = std::max(0, p.y), y1 = std::min({height, snapshot.height, p.y + p.height});
  if (x1 <= x0 || y1 <= y0) return;
  const std::uint8_t* first = p.pixels + static_cast<std::ptrdiff_t>(y0 - p.y) * p.stride +
                              (x0 - p.x) * (p.layout.bitsPerPixel / 8);
  ConvertFromServer(p.layout, PixelAddress(snapshot, depth, x0, y0), snapshot.width * (depth / 8), first, p.stride,
                    depth, x1 - x0, y1 - y0);
}
