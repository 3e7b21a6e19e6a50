// frame_clock.h - the saver's pace, the -frames count and the -fps figure.
//
// A frame is presented no sooner than -delay after the one before (the
// default is the saver's pace on Windows, one tick of its 64 Hz timer).
// Where the display paces its clients as well (a Wayland output's frame
// callbacks), the slower of the two sets the rate. With -frames N a program
// stops drawing after its Nth frame and says so on standard output
// ("PROGRAM: N frames shown"), the line a test waits for before it reads the
// screen back. The -fps figure is the frames presented over the last second
// or so, made anew once a second.
#ifndef GYREWELL_UNIX_FRAME_CLOCK_H
#define GYREWELL_UNIX_FRAME_CLOCK_H

#include <cstdint>

#include "unix/options.h"

struct FrameClock {
  std::int64_t delay;     // nanoseconds from one presentation to the next
  std::int64_t last;      // when the last frame was presented (monotonic nanoseconds)
  std::int32_t limit;     // -frames; 0: none
  std::int32_t frames;    // presented so far; counted only under a limit, so it cannot overflow
  std::int64_t fpsSince;  // the figure counts fpsFrames since then
  std::int32_t fpsFrames;
  char fpsText[16];       // " 63.9 fps ", empty until a second has passed
};

// A clock for the options, as if a frame had just been presented at now.
void StartFrameClock(FrameClock& clock, const SaverOptions& options, std::int64_t now);

// When the next frame is due.
inline std::int64_t FrameDue(const FrameClock& clock) { return clock.last + clock.delay; }

// Counts a frame presented at now; true when it was the last one -frames allows.
bool FramePresented(FrameClock& clock, std::int64_t now);

// The line a program says after its last frame under -frames.
void SayFramesShown(const char* program, std::int32_t frames);

#endif
