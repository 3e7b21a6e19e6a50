// present_window.h - a composed frame's changed blocks into the window, in a
// handful of GDI calls.
//
// PresentFrame(window, work, p, route) copies the blocks of p (scene.h,
// PresentScene) from the WorkSurface's memory DC to the window's DC. One block
// (the first frame, a frame after a paint, a lone sprite) is one BitBlt. Several
// blocks go the route given (present_route.h, which also says how it is chosen):
//   PresentClipped   one region (ExtCreateRegion over the block list) selected
//                    as the DC's clip and one BitBlt of the blocks' bounds,
//                    which copies exactly the blocks' pixels and nothing
//                    between them; then the clip is removed and the region
//                    deleted: five calls whatever the number of sprites
//   PresentPerBlock  one BitBlt per block
// When the region cannot be made, the blocks are copied one by one: the
// window gets the same pixels, only at another price.
#ifndef GYREWELL_PRESENT_WINDOW_H
#define GYREWELL_PRESENT_WINDOW_H

#include <windows.h>

#include "effect/animation.h"
#include "effect/present_route.h"

void PresentFrame(HDC window, HDC work, const FramePresentation& p, PresentRoute route);

#endif
