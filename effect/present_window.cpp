// present_window.cpp - see present_window.h.
#include "effect/present_window.h"

namespace {

void CopyBlock(HDC window, HDC work, const PresentBlock& b) {
  BitBlt(window, b.windowX, b.windowY, b.width, b.height, work, b.sourceX, b.sourceY, SRCCOPY);
}

// The region's description: a header and the blocks as rectangles. Only the
// thread that presents uses it, and it is too large for a comfortable stack frame.
struct RegionData {
  RGNDATAHEADER header;
  RECT rects[ChangedCapacity];
};
RegionData Region;

void CopyEachBlock(HDC window, HDC work, const FramePresentation& p) {
  for (std::int32_t i = 0; i < p.count; ++i) CopyBlock(window, work, p.blocks[i]);
}

}  // namespace

void PresentFrame(HDC window, HDC work, const FramePresentation& p, PresentRoute route) {
  if (p.count < 1) return;
  if (p.count == 1 || route == PresentPerBlock) {
    CopyEachBlock(window, work, p);
    return;
  }
  Region.header.dwSize = sizeof(RGNDATAHEADER);
  Region.header.iType = RDH_RECTANGLES;
  Region.header.nCount = static_cast<DWORD>(p.count);
  Region.header.nRgnSize = static_cast<DWORD>(p.count * sizeof(RECT));
  const PresentBlock& bounds = p.bounds;
  Region.header.rcBound = RECT{bounds.windowX, bounds.windowY, bounds.windowX + bounds.width,
                               bounds.windowY + bounds.height};
  for (std::int32_t i = 0; i < p.count; ++i) {
    const PresentBlock& b = p.blocks[i];
    Region.rects[i] = RECT{b.windowX, b.windowY, b.windowX + b.width, b.windowY + b.height};
  }
  HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof(RGNDATAHEADER) + p.count * sizeof(RECT)),
                                reinterpret_cast<const RGNDATA*>(&Region));
  if (region == nullptr) {
    CopyEachBlock(window, work, p);
    return;
  }
  // The clip is taken off again before the DC goes back to the system's cache.
  SelectClipRgn(window, region);
  CopyBlock(window, work, bounds);
  SelectClipRgn(window, nullptr);
  DeleteObject(region);
}
