#include "effect/present_route.h"

#include <gtest/gtest.h>

namespace {

// Feeds the chooser presentations whose cost depends on the route only.
PresentRoute Present(PresentChooser& c, std::uint32_t frames, std::int64_t clipped, std::int64_t perBlock,
                 std::uint32_t* probes = nullptr) {
  PresentRoute last = PresentClipped;
  for (std::uint32_t i = 0; i < frames; ++i) {
    last = ChoosePresentRoute(c);
    RecordPresentCost(c, last, last == PresentClipped ? clipped : perBlock);
    if (probes != nullptr && i >= WarmUpFrames && last == PresentClipped) ++*probes;
  }
  return ChoosePresentRoute(c);
}

TEST(PresentRoute, TakesTheCheaperWayAndProbesTheOther) {
  PresentChooser c = {};
  // Both ways are tried while warming up, whatever they cost.
  EXPECT_EQ(ChoosePresentRoute(c), PresentClipped);
  RecordPresentCost(c, PresentClipped, 900);
  EXPECT_EQ(ChoosePresentRoute(c), PresentPerBlock);

  // Blits cheaper (as under Wine): per block, with a clipped probe now and then.
  c = {};
  std::uint32_t probes = 0;
  EXPECT_EQ(Present(c, WarmUpFrames + 10 * ProbeInterval, 900, 150, &probes), PresentPerBlock);
  EXPECT_EQ(probes, 10u);

  // The system changes (calls become dear): the probes see it and the choice turns.
  EXPECT_EQ(Present(c, 40 * ProbeInterval, 100, 800), PresentClipped);

  // A single slow frame does not turn a settled choice.
  c = {};
  Present(c, WarmUpFrames + ProbeInterval / 2, 100, 300);
  RecordPresentCost(c, PresentClipped, 5000);
  EXPECT_EQ(ChoosePresentRoute(c), PresentClipped);
}

// The first presentations can be far slower than the rest (cold caches, a
// window still being mapped). One such measure of the cheaper route must not
// keep it unused: the losing route is measured only every ProbeInterval-th
// frame, so an average started from it would take thousands of frames to come
// down. Within three seconds of frames the choice is the cheaper route.
TEST(PresentRoute, ASlowFirstMeasureDoesNotDecide) {
  for (PresentRoute cheap : {PresentClipped, PresentPerBlock}) {
    SCOPED_TRACE(cheap == PresentClipped ? "clipped cheaper" : "per block cheaper");
    PresentChooser c = {};
    bool measured = false;
    std::uint32_t lastDear = 0;
    for (std::uint32_t frame = 0; frame < 40 * ProbeInterval; ++frame) {
      const PresentRoute route = ChoosePresentRoute(c);
      std::int64_t ticks = route == cheap ? 150 : 300;
      if (route == cheap && !measured) ticks *= 100;
      measured = measured || route == cheap;
      RecordPresentCost(c, route, ticks);
      const bool probe = frame >= WarmUpFrames && frame % ProbeInterval == ProbeInterval - 1;
      if (route != cheap && !probe) lastDear = frame;
    }
    EXPECT_LT(lastDear, 180u) << "the dearer route was still chosen at frame " << lastDear;
  }
}

TEST(PresentRoute, CallsPerFrame) {
  FramePresentation p = {};
  EXPECT_EQ(PresentCalls(PresentClipped, p), 0);
  p.count = 1;
  EXPECT_EQ(PresentCalls(PresentClipped, p), 1);
  EXPECT_EQ(PresentCalls(PresentPerBlock, p), 1);
  p.count = 185;
  EXPECT_EQ(PresentCalls(PresentClipped, p), 5);
  EXPECT_EQ(PresentCalls(PresentPerBlock, p), 185);
}

}  // namespace
