// waiting.cpp - see waiting.h.
#include "x11/waiting.h"

#include <poll.h>
#include <signal.h>
#include <time.h>

namespace {

volatile sig_atomic_t StopSignal = 0;
const int StopSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnStopSignal(int) { StopSignal = 1; }

}  // namespace

// The stop signals are held back, and let through only inside ppoll.
void CatchStopSignals(X11Saver& s) {
  sigset_t stops;
  sigemptyset(&stops);
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : StopSignals) {
    sigaction(signal, &action, nullptr);
    sigaddset(&stops, signal);
  }
  sigprocmask(SIG_BLOCK, &stops, &s.waitMask);
  for (int signal : StopSignals) sigdelset(&s.waitMask, signal);
}

std::int64_t NowNanoseconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool StopRequested() { return StopSignal != 0; }

bool WaitForInput(X11Saver& s, std::int64_t nanoseconds) {
  XFlush(s.display);
  // Events Xlib has read already (a flush can read too) would not wake the
  // poll: then it only lets the signals in.
  if (XEventsQueued(s.display, QueuedAlready) > 0) nanoseconds = 0;
  pollfd input = {ConnectionNumber(s.display), POLLIN, 0};
  timespec t = {static_cast<time_t>(nanoseconds / 1000000000), static_cast<long>(nanoseconds % 1000000000)};
  ppoll(&input, 1, nanoseconds < 0 ? nullptr : &t, &s.waitMask);
  return !StopRequested();
}

