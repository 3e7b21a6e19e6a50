// gyrewell - the saver's animation as an X11 display mode.
//
// The same scene as Gyrewell.scr (effect/scene.h), composed at the window's
// depth and shown on an X display, the way display modes of the X screen-saver
// daemon work: it draws on the window the daemon names, on the root window,
// or in a window of its own, and ends on SIGTERM (the daemon's way, and its
// settings program's, which then waits for it), SIGINT, SIGHUP, or when its
// window is closed or destroyed.
//
//   gyrewell [options]          one dash or two: -root and --root are the same
//     -root                the root window; under the daemon, the daemon's window
//     -window              a window of its own (the default outside the daemon)
//     -window-id ID        an existing window, decimal or 0x hexadecimal; wins
//                          over -root and -window wherever it stands
//     -display NAME        the X display (default $DISPLAY)
//     -count N             sprites, 20..200 (default 100)
//     -backdrop desktop    the desktop with the dark pit in the middle (default)
//     -backdrop black      a black field, no pit
//     -delay US            microseconds from one presented frame to the next,
//                          0..10000000 (default 15625: one tick of the 64 Hz
//                          timer that paces the saver on Windows)
//     -scale N             sprites and pit N times larger, 1..8 (default: from
//                          the desktop's Xft.dpi, else 2 for a window wider or
//                          taller than 2560 pixels; see unix/scale.h)
//     -fps, -no-fps        the frame rate in the lower left corner, or not
//     -help                this list
//   For tests (fixed, repeatable runs):
//     -seed N              the animation's seed (default: the clock)
//     -frames N            after N frames: write "gyrewell: N frames shown" to
//                          standard output, stop drawing and wait to be ended
//     -no-shm              present by XPutImage even where MIT-SHM works
//
// Exit status 0 when it was ended, 1 for a bad option (with a message and the
// usage on standard error) or when it cannot draw: no display, no such window,
// a visual it does not draw at (anything but TrueColor at 15, 16, 24 or 32
// bits; a window of its own takes such a visual where the default is not
// one), no memory.
//
// A frame is the saver's: compose what changed, wait until -delay has passed
// since the last presentation, present the changed blocks, move the sprites.
// Exposure of the window makes the next frame go out whole; a new window size
// builds the scene anew, at the scale for that size, over a desktop picture
// taken again where the daemon's helper gave it. The stop signals are blocked
// except while the program waits (ppoll, also for the helper), so they are
// seen once per frame at the latest.
#include <cstdio>

#include "unix/frame_clock.h"
#include "x11/desktop.h"
#include "x11/frame_output.h"
#include "x11/waiting.h"
#include "x11/x11_saver.h"
#include "x11/x11_scene.h"
#include "x11/x11_window.h"

namespace {

// Large (the scene holds every slot and block table): static, not on the stack.
X11Saver TheSaver;

// Waits until the deadline, handling events as they come; false when the
// program is to end.
bool WaitUntil(X11Saver& s, std::int64_t deadline) {
  for (;;) {
    HandleEvents(s);
    if (s.closed) return false;
    const std::int64_t left = deadline - NowNanoseconds();
    // One wait even when the time has passed: that is where signals come in.
    if (!WaitForInput(s, left > 0 ? left : 0)) return false;
    if (left <= 0) return true;
  }
}

// After -frames: nothing more is drawn until the program is ended. The line
// comes once the server has drawn the last frame, so a picture read back
// after it shows that frame (without MIT-SHM the frame is only flushed).
// XSync may have queued events already (the window's end among them): they
// are taken before every wait.
void Hold(X11Saver& s, std::int32_t frames) {
  XSync(s.display, False);
  SayFramesShown("gyrewell", frames);
  for (;;) {
    HandleEvents(s);
    if (s.closed || !WaitForInput(s, -1)) return;
  }
}

// The frame loop; false when the scene could not be built again.
bool RunFrames(X11Saver& s) {
  StartFrameClock(s.clock, s.options, NowNanoseconds());
  for (;;) {
    HandleEvents(s);
    if (s.closed || StopRequested()) return true;
    if (s.resized) {
      s.resized = false;
      TearDownScene(s);
      TakeDesktopAgain(s);
      if (!BuildScene(s)) return false;
    }
    if (s.exposed) {
      s.exposed = false;
      SceneWindowPainted(s.scene);
    }
    ComposeScene(s.scene);
    if (!WaitUntil(s, FrameDue(s.clock))) return true;
    PresentFrame(s, PresentScene(s.scene));
    const bool last = FramePresented(s.clock, NowNanoseconds());
    MoveScene(s.scene);
    if (last) {
      Hold(s, s.clock.frames);
      return true;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  X11Saver& s = TheSaver;
  char error[256];
  const int answered =
      AnswerCommandLine(ParseOptions(argc, argv, s.options, error, sizeof error), s.options, "gyrewell", error, UsageText);
  if (answered >= 0) return answered;
  CatchStopSignals(s.waitMask);
  if (!OpenWindow(s, error, sizeof error)) {
    std::fprintf(stderr, "gyrewell: %s\n", error);
    CloseWindow(s);
    return 1;
  }
  TakeDesktop(s);  // before a window of its own covers the screen
  bool drawn = true;
  if (!s.ownWindow || ShowOwnWindow(s)) {
    if (!BuildScene(s)) {
      std::fprintf(stderr, "gyrewell: out of memory for a %dx%d scene\n", s.width, s.height);
      drawn = false;
    } else {
      drawn = RunFrames(s);
      if (!drawn) std::fprintf(stderr, "gyrewell: out of memory for a %dx%d scene\n", s.width, s.height);
    }
  }
  TearDownScene(s);
  ReleaseDesktop(s);
  CloseWindow(s);
  return drawn ? 0 : 1;
}
