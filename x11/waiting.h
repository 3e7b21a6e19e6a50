// waiting.h - the clock, the stop signals and the one place the program waits.
//
// The stop signals (SIGTERM, the daemon's way of ending a display mode, SIGINT
// and SIGHUP) are blocked once CatchStopSignals has run, and let through only
// inside WaitForInput's ppoll, so they are seen at a known point of the frame.
#ifndef GYREWELL_X11_WAITING_H
#define GYREWELL_X11_WAITING_H

#include <cstdint>

#include "x11/x11_saver.h"

// Blocks the stop signals and keeps in s.waitMask the mask that lets them in.
void CatchStopSignals(X11Saver& s);

// Monotonic time in nanoseconds.
std::int64_t NowNanoseconds();

// Waits up to `nanoseconds` (negative: without end) for the X connection to
// have input, or for a signal; not at all when Xlib holds unread events
// already. Answers false when a stop signal has arrived.
bool WaitForInput(X11Saver& s, std::int64_t nanoseconds);

// A stop signal (SIGTERM, SIGINT, SIGHUP) has arrived.
bool StopRequested();

#endif
