// waiting.cpp - see waiting.h.
#include "x11/waiting.h"

#include <poll.h>

bool WaitForInput(X11Saver& s, std::int64_t nanoseconds) {
  XFlush(s.display);
  // Events Xlib has read already (a flush can read too) would not wake the
  // poll: then it only lets the signals in.
  if (XEventsQueued(s.display, QueuedAlready) > 0) nanoseconds = 0;
  WaitReady(ConnectionNumber(s.display), POLLIN, nanoseconds, s.waitMask);
  return !StopRequested();
}
