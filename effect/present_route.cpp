// present_route.cpp - see present_route.h.
#include "effect/present_route.h"

PresentRoute ChoosePresentRoute(const PresentChooser& c) {
  if (c.frames < WarmUpFrames || c.cost[PresentClipped] == 0 || c.cost[PresentPerBlock] == 0) {
    return c.frames % 2 == 0 ? PresentClipped : PresentPerBlock;
  }
  const PresentRoute cheaper = c.cost[PresentClipped] <= c.cost[PresentPerBlock] ? PresentClipped : PresentPerBlock;
  const bool probe = c.frames % ProbeInterval == ProbeInterval - 1;
  return probe ? static_cast<PresentRoute>(1 - cheaper) : cheaper;
}

void RecordPresentCost(PresentChooser& c, PresentRoute route, std::int64_t ticks) {
  const bool warmingUp = c.frames < WarmUpFrames;
  ++c.frames;
  if (ticks < 1) ticks = 1;  // 0 means "not measured yet"
  std::int64_t& average = c.cost[route];
  // While warming up a route costs the least it was seen to cost: the first
  // presentations meet cold caches, a window not yet mapped, a core taken by
  // the start-up of others, and one of them taken as the average would keep
  // the other route from being chosen for thousands of frames, since the
  // route that loses is measured only every ProbeInterval-th frame.
  if (warmingUp || average == 0) {
    if (average == 0 || ticks < average) average = ticks;
    return;
  }
  // Then an eighth of each new measure, and none above twice the average: one
  // slow frame moves it by an eighth at most, a lasting change turns it within
  // a few dozen measures.
  if (ticks > 2 * average) ticks = 2 * average;
  average += (ticks - average) / 8;
  if (average < 1) average = 1;
}

std::int32_t PresentCalls(PresentRoute route, const FramePresentation& p) {
  if (p.count <= 1) return p.count;
  return route == PresentClipped ? 5 : p.count;
}
