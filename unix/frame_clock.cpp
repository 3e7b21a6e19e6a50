// frame_clock.cpp - see frame_clock.h.
#include "unix/frame_clock.h"

#include <cstdio>

void StartFrameClock(FrameClock& clock, const SaverOptions& options, std::int64_t now) {
  clock = FrameClock{};
  clock.delay = options.delayMicroseconds * 1000;
  clock.last = now;
  clock.limit = options.frameLimit;
  clock.fpsSince = now;
}

bool FramePresented(FrameClock& clock, std::int64_t now) {
  clock.last = now;
  ++clock.fpsFrames;
  if (now - clock.fpsSince >= 1000000000) {
    const double rate = clock.fpsFrames * 1e9 / static_cast<double>(now - clock.fpsSince);
    std::snprintf(clock.fpsText, sizeof clock.fpsText, " %.1f fps ", rate);
    clock.fpsSince = now;
    clock.fpsFrames = 0;
  }
  return clock.limit > 0 && ++clock.frames == clock.limit;
}

void SayFramesShown(const char* program, std::int32_t frames) {
  std::printf("%s: %d frames shown\n", program, frames);
  std::fflush(stdout);
}
