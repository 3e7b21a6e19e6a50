// waiting.h - the one place the X11 program waits: for the X connection, a
// stop signal or the time (unix/waiting.h), whichever comes first.
#ifndef GYREWELL_X11_WAITING_H
#define GYREWELL_X11_WAITING_H

#include <cstdint>

#include "unix/waiting.h"
#include "x11/x11_saver.h"

// Waits up to `nanoseconds` (negative: without end) for the X connection to
// have input, or for a signal; not at all when Xlib holds unread events
// already. Answers false when a stop signal has arrived.
bool WaitForInput(X11Saver& s, std::int64_t nanoseconds);

#endif
