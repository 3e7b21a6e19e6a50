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
  ++c.frames;
  if (ticks < 1) ticks = 1;  // 0 means "not measured yet"
  std::int64_t& average = c.cost[route];
  // An eighth of each new measure, and none above twice the average: one slow
  // frame (a page fault, another process taking the core) moves it by an eighth
  // at most, a lasting change turns it within a few dozen measures.
  if (average != 0 && ticks > 2 * average) ticks = 2 * average;
  average = average == 0 ? ticks : average + (ticks - average) / 8;
  if (average < 1) average = 1;
}

std::int32_t PresentCalls(PresentRoute route, const FramePresentation& p) {
  if (p.count <= 1) return p.count;
  return route == PresentClipped ? 5 : p.count;
}
