// present_route.h - how a frame's changed blocks reach the window, chosen by
// what each way costs on the system the saver runs on.
//
// A frame of 200 sprites changes about 185 blocks. There are two ways to copy
// them from the WorkSurface to the window (present_window.h):
//   PresentClipped   one region made of the blocks, selected as the clip, and
//                    one blit of their bounds: five calls whatever the count
//   PresentPerBlock  one blit per block
// Both give the window exactly the same pixels. Which is cheaper depends on the
// system: where every call is a trip into the kernel and the compositor, the
// five calls win; where calls are cheap and regions are built by merging one
// rectangle at a time (under Wine, a region of 185 scattered blocks costs
// several times the 185 blits), the blits win. So the saver measures: for the
// first WarmUpFrames it takes them in turn, then it takes the cheaper one and
// tries the other on every ProbeInterval-th frame, so that a change in
// the picture (more blocks as sprites enter) or in the system can turn the
// choice. A frame with a single block is one blit either way and is not
// counted.
//
// A route's cost starts as the least it took while warming up (the first
// presentations are often far slower than the rest), then follows an
// exponential average of the time one presentation took, in whatever ticks
// the caller measures (the performance counter on Windows).
#ifndef GYREWELL_PRESENT_ROUTE_H
#define GYREWELL_PRESENT_ROUTE_H

#include <cstdint>

#include "effect/animation.h"

enum PresentRoute { PresentClipped = 0, PresentPerBlock = 1 };

struct PresentChooser {
  std::uint32_t frames;  // presentations of several blocks so far
  std::int64_t cost[2];  // average ticks per presentation, by route; 0 until measured
};

constexpr std::uint32_t WarmUpFrames = 16;
constexpr std::uint32_t ProbeInterval = 128;

// The route for the next presentation of several blocks.
PresentRoute ChoosePresentRoute(const PresentChooser& c);

// What that presentation cost.
void RecordPresentCost(PresentChooser& c, PresentRoute route, std::int64_t ticks);

// GDI calls present_window.cpp makes for p by that route: 0 for no block, 1 for
// one, else five clipped (ExtCreateRegion, SelectClipRgn, BitBlt,
// SelectClipRgn, DeleteObject) or one per block.
std::int32_t PresentCalls(PresentRoute route, const FramePresentation& p);

#endif
