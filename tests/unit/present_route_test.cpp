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
