// waiting.cpp - see waiting.h.
#include "unix/waiting.h"

#include <poll.h>
#include <time.h>

namespace {

volatile sig_atomic_t StopSignal = 0;
const int StopSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnStopSignal(int) { StopSignal = 1; }

}  // namespace

// The stop signals are held back, and let through only inside ppoll.
void CatchStopSignals(sigset_t& waitMask) {
  sigset_t stops;
  sigemptyset(&stops);
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : StopSignals) {
    sigaction(signal, &action, nullptr);
    sigaddset(&stops, signal);
  }
  sigprocmask(SIG_BLOCK, &stops, &waitMask);
  for (int signal : StopSignals) sigdelset(&waitMask, signal);
}

std::int64_t NowNanoseconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool StopRequested() { return StopSignal != 0; }

short WaitReady(int fd, short events, std::int64_t nanoseconds, const sigset_t& waitMask) {
  pollfd ready = {fd, events, 0};  // a negative fd is not polled
  const timespec t = {static_cast<time_t>(nanoseconds / 1000000000), static_cast<long>(nanoseconds % 1000000000)};
  if (ppoll(&ready, 1, nanoseconds < 0 ? nullptr : &t, &waitMask) <= 0) return 0;
  return ready.revents;
}
