// waiting.h - the clock, the stop signals and the one place a program waits.
//
// The stop signals (SIGTERM, the way screen-saver daemons and idle managers
// end a saver, SIGINT and SIGHUP) are blocked once CatchStopSignals has run,
// and let through only inside WaitReady's ppoll, so they are seen at a known
// point of the frame: a handler never interrupts drawing or a call into the
// display server's library.
#ifndef GYREWELL_UNIX_WAITING_H
#define GYREWELL_UNIX_WAITING_H

#include <signal.h>

#include <cstdint>

// Blocks the stop signals and puts into waitMask the mask that lets them in.
void CatchStopSignals(sigset_t& waitMask);

// Monotonic time in nanoseconds.
std::int64_t NowNanoseconds();

// Waits up to `nanoseconds` (negative: without end; 0: only a look) for fd to
// be ready for `events` (poll's POLLIN, POLLOUT), or for a signal; fd -1 waits
// for the time or a signal alone. Answers the events that are ready, 0 when
// none is (the time ran out, or a signal came).
short WaitReady(int fd, short events, std::int64_t nanoseconds, const sigset_t& waitMask);

// A stop signal (SIGTERM, SIGINT, SIGHUP) has arrived.
bool StopRequested();

#endif
