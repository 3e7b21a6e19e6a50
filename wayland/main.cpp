// gyrewell-wayland - the saver's animation on every output of a Wayland desktop.
//
// The same scene as Gyrewell.scr (effect/scene.h) and the X11 program
// gyrewell, for Wayland compositors. Each output gets a field of its own, at
// its own size and scale, with its own desktop, pit and crowd, as each
// monitor does on Windows: a surface on the overlay layer of the layer
// shell (sway, Hyprland, river, niri, labwc, Wayfire, KDE), or a full-screen
// window where there is none (GNOME). Outputs that appear while it runs get
// a field; those that go away lose theirs. An idle daemon (swayidle,
// hypridle) starts it as a screen saver, swaylock-plugin behind its lock.
//
//   gyrewell-wayland [options]   one dash or two: -count and --count are the same
//     -count N             sprites, 20..200 (default 100)
//     -backdrop desktop    the desktop with the dark pit in the middle (default)
//     -backdrop black      a black field, no pit
//     -delay US            microseconds from one presented frame to the next,
//                          0..10000000 (default 15625: one tick of the 64 Hz
//                          timer that paces the saver on Windows); an output
//                          slower than that sets its own pace
//     -scale N             sprites and pit N times larger, 1..8 (default: each
//                          output's own scale, its whole part; see field.h)
//     -fps, -no-fps        the frame rate in each output's lower left corner, or not
//     -desktop FILE        a PNG picture as every output's desktop, its
//                          top-left corner at the output's (default: the
//                          compositor's copy of the output, where it offers
//                          wlr-screencopy; else black)
//     -toplevel            full-screen windows even where the compositor has a
//                          layer shell
//     -help                this list
//   For tests (fixed, repeatable runs):
//     -seed N              the first output's seed; the one that appears next
//                          gets the second field's seed of Gyrewell.scr on
//                          several monitors, and so on (FieldSeed in
//                          effect/fields.h; default: the clock)
//     -frames N            after N frames on every output: write
//                          "gyrewell-wayland: N frames shown" to standard
//                          output once the compositor has them, stop drawing
//                          and wait to be ended
//
// It ends with status 0 on a key, a button or a touch, pointer travel of
// more than four pixels (input.h), a full-screen window closed, SIGTERM (an
// idle daemon's way), SIGINT or SIGHUP; with status 1 after a bad option
// (with a message and the usage on standard error), a -desktop file it
// cannot read, no compositor or one without what it needs, a lost
// connection, or no memory.
//
// A frame is the saver's: compose what changed, wait until -delay has passed
// since the last presentation and the compositor's frame callback has come,
// present the changed blocks, move the sprites. Each output keeps its own
// pace. The stop signals are blocked except while the program waits (ppoll,
// unix/waiting.h), so they are seen once per frame at the latest.
#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "unix/waiting.h"
#include "wayland/desktop.h"
#include "wayland/field.h"
#include "wayland/frame_output.h"
#include "wayland/registry.h"
#include "wayland/wayland_saver.h"

namespace {

// Large (each output holds its scene's slot and block tables): static, not on the stack.
WaylandSaver TheSaver;

// Why the connection failed, on standard error.
void SayConnectionError(const WaylandSaver& s) {
  const wl_interface* interface = nullptr;
  std::uint32_t id = 0;
  if (wl_display_get_error(s.display) == EPROTO) {
    const std::uint32_t code = wl_display_get_protocol_error(s.display, &interface, &id);
    std::fprintf(stderr, "gyrewell-wayland: the compositor reported error %u on %s %u\n", code,
                 interface != nullptr ? interface->name : "an object", id);
  } else {
    std::fprintf(stderr, "gyrewell-wayland: the connection to the compositor was lost\n");
  }
}

// Sends what is queued and waits up to `nanoseconds` (negative: without end)
// for events or a signal, then handles the events. False when the
// connection fails.
bool WaitForEvents(WaylandSaver& s, std::int64_t nanoseconds) {
  wl_display* d = s.display;
  const int fd = wl_display_get_fd(d);
  while (wl_display_prepare_read(d) != 0)
    if (wl_display_dispatch_pending(d) < 0) return false;
  // A full socket takes the rest once the compositor has read some.
  while (wl_display_flush(d) < 0) {
    const bool full = errno == EAGAIN;
    if (!full || StopRequested()) {
      wl_display_cancel_read(d);
      return full;
    }
    WaitReady(fd, POLLOUT, -1, s.waitMask);
  }
  if ((WaitReady(fd, POLLIN, nanoseconds, s.waitMask) & (POLLIN | POLLHUP | POLLERR)) != 0) {
    if (wl_display_read_events(d) < 0) return false;
  } else {
    wl_display_cancel_read(d);
  }
  return wl_display_dispatch_pending(d) >= 0;
}

// With -frames: every output has drawn its last frame. None is on its way
// either (a desktop being copied, a surface waiting for its size).
bool AllHeld(const WaylandSaver& s) {
  bool any = false;
  for (const Output& o : s.outputs) {
    if (!o.used || o.state == FieldClosed) continue;
    if (o.state != FieldRunning || !o.held) return false;
    any = true;
  }
  return any;
}

// The event loop: builds fields as their sizes come, presents each output's
// frame when it is due. False when the program cannot go on (the message is
// out).
bool RunEvents(WaylandSaver& s) {
  for (;;) {
    if (s.ended || StopRequested()) return true;
    std::int64_t now = NowNanoseconds(), next = -1;
    for (Output& o : s.outputs) {
      if (!o.used) continue;
      if (o.state == FieldRunning && o.resized && !BuildField(s, o)) {
        std::fprintf(stderr, "gyrewell-wayland: out of memory for a %dx%d scene\n", o.pixelWidth, o.pixelHeight);
        return false;
      }
      if (!ReadyForFrame(o)) continue;
      const std::int64_t due = FrameDue(o.clock);
      if (due <= now) {
        if (!PresentOutputFrame(s, o)) {
          std::fprintf(stderr, "gyrewell-wayland: out of memory for a %dx%d buffer\n", o.pixelWidth, o.pixelHeight);
          return false;
        }
        now = NowNanoseconds();
      } else if (next < 0 || due < next) {
        next = due;
      }
    }
    if (s.options.frameLimit > 0 && !s.saidShown && AllHeld(s)) {
      // Once the compositor has the last commits, a screenshot shows them.
      if (wl_display_roundtrip(s.display) < 0) break;
      SayFramesShown("gyrewell-wayland", s.options.frameLimit);
      s.saidShown = true;
    }
    if (!WaitForEvents(s, next < 0 ? -1 : next - now)) break;
  }
  SayConnectionError(s);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  WaylandSaver& s = TheSaver;
  char error[512];
  const int answered = AnswerCommandLine(ParseWaylandOptions(argc, argv, s.options, error, sizeof error), s.options,
                                        "gyrewell-wayland", error, WaylandUsageText);
  if (answered >= 0) return answered;
  CatchStopSignals(s.waitMask);
  bool ran = false;
  if (!ReadDesktopFile(s, error, sizeof error) || !OpenConnection(s, error, sizeof error)) {
    std::fprintf(stderr, "gyrewell-wayland: %s\n", error);
  } else {
    ran = RunEvents(s);
  }
  CloseConnection(s);
  std::free(s.filePixels);
  return ran ? 0 : 1;
}
