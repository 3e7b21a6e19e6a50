// desktop.cpp - see desktop.h.
#include "x11/desktop.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "effect/settings_rules.h"
#include "x11/waiting.h"
#include "x11/x11_window.h"

namespace {

// The helper usually answers in well under a second; a helper that hangs
// costs the backdrop, not the saver.
constexpr std::int64_t HelperTimeout = 10000000000LL;  // nanoseconds
constexpr std::int64_t HelperPoll = 20000000LL;

// Found on $PATH (the daemon puts its own folder first), else where Debian keeps it.
const char HelperName[] = "xscreensaver-getimage";
const char HelperPath[] = "/usr/libexec/xscreensaver/xscreensaver-getimage";

// Sleeps, letting the stop signals through; false when one arrived.
bool Pause(X11Saver& s, std::int64_t nanoseconds) {
  WaitReady(-1, 0, nanoseconds, s.waitMask);
  return !StopRequested();
}

// Runs the helper on the window and the pixmap; true when it ended well. It
// runs in a process group of its own, so that giving up on it (a stop signal,
// or no answer in time) ends whatever it started as well.
bool RunHelper(X11Saver& s, Pixmap pixmap) {
  char window[32], target[32];
  std::snprintf(window, sizeof window, "0x%lx", s.window);
  std::snprintf(target, sizeof target, "0x%lx", pixmap);
  char* const arguments[] = {const_cast<char*>(HelperName), const_cast<char*>("--display"),
                             DisplayString(s.display), window, target, nullptr};
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setpgid(0, 0);
    sigprocmask(SIG_SETMASK, &s.waitMask, nullptr);
    execvp(HelperName, arguments);
    execv(HelperPath, arguments);
    _exit(127);
  }
  // Here too, so that the group exists before any kill below, whichever of
  // the two runs first (after the child's exec this fails, harmlessly).
  setpgid(child, child);
  int status = 0;
  for (std::int64_t waited = 0;; waited += HelperPoll) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0) return false;
    if (waited >= HelperTimeout || !Pause(s, HelperPoll)) break;
  }
  // The helper is not reaped yet, so the group's number cannot have gone to
  // another process.
  kill(-child, SIGKILL);
  waitpid(child, &status, 0);
  return false;
}

void TakeFromHelper(X11Saver& s) {
  const Atom named = XInternAtom(s.display, "_SCREENSAVER_IMAGE_FILENAME", False);
  const Pixmap pixmap = XCreatePixmap(s.display, s.window, static_cast<unsigned>(s.width),
                                      static_cast<unsigned>(s.height), static_cast<unsigned>(s.visualDepth));
  // A name left by an earlier program on the daemon's window must not count.
  XDeleteProperty(s.display, s.window, named);
  XSync(s.display, False);
  if (RunHelper(s, pixmap)) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* name = nullptr;
    XGetWindowProperty(s.display, s.window, named, 0, 256, False, AnyPropertyType, &type, &format, &items, &after,
                       &name);
    if (type != 0 && items > 0) {
      s.desktop = XGetImage(s.display, pixmap, 0, 0, static_cast<unsigned>(s.width),
                            static_cast<unsigned>(s.height), AllPlanes, ZPixmap);
      s.desktopPixels = s.pixels;
    }
    if (name != nullptr) XFree(name);
  }
  XFreePixmap(s.display, pixmap);
}

// Only the part of the root under the window: a desktop can be many times the
// size of a window of its own (an 8K desktop's root is 130 MB).
void TakeFromRoot(X11Saver& s) {
  const Window root = DefaultRootWindow(s.display);
  XWindowAttributes a;
  if (XGetWindowAttributes(s.display, root, &a) == 0 || a.visual->c_class != TrueColor) return;
  std::int32_t ox = 0, oy = 0;
  WindowOrigin(s, ox, oy);
  const std::int32_t x0 = std::max(ox, 0), x1 = std::min(ox + s.width, a.width);
  const std::int32_t y0 = std::max(oy, 0), y1 = std::min(oy + s.height, a.height);
  if (x1 <= x0 || y1 <= y0) return;
  s.desktop = XGetImage(s.display, root, x0, y0, static_cast<unsigned>(x1 - x0), static_cast<unsigned>(y1 - y0),
                        AllPlanes, ZPixmap);
  s.desktopX = x0 - ox;
  s.desktopY = y0 - oy;
  s.desktopPixels = s.pixels;
  s.desktopPixels.redMask = static_cast<std::uint32_t>(a.visual->red_mask);
  s.desktopPixels.greenMask = static_cast<std::uint32_t>(a.visual->green_mask);
  s.desktopPixels.blueMask = static_cast<std::uint32_t>(a.visual->blue_mask);
}

}  // namespace

void TakeDesktop(X11Saver& s) {
  s.desktopX = s.desktopY = 0;
  if (s.options.backdropMode == BackdropBlack) return;
  if (s.daemonWindow) {
    // The helper copies pictures of the root's depth into the window's. On a
    // window of another depth (an ARGB window over a 24-bit root) that fails,
    // and the failed helper leaves the window unmapped: no picture then.
    if (s.visualDepth == DefaultDepth(s.display, DefaultScreen(s.display))) TakeFromHelper(s);
  } else {
    TakeFromRoot(s);
  }
  if (s.desktop == nullptr) return;
  // The image's own size and order of pixels, with the visual's channels.
  s.desktopPixels.bitsPerPixel = s.desktop->bits_per_pixel;
  s.desktopPixels.msbFirst = s.desktop->byte_order == MSBFirst;
  if (CompositionDepth(s.desktopPixels) == 0) ReleaseDesktop(s);
}

void TakeDesktopAgain(X11Saver& s) {
  if (!s.daemonWindow) return;
  ReleaseDesktop(s);
  TakeDesktop(s);
}

DesktopPicture TakenDesktop(const X11Saver& s) {
  const XImage* image = s.desktop;
  if (image == nullptr) return DesktopPicture{};
  return DesktopPicture{reinterpret_cast<const std::uint8_t*>(image->data), image->width, image->height,
                        image->bytes_per_line, s.desktopPixels, s.desktopX, s.desktopY};
}

void ReleaseDesktop(X11Saver& s) {
  if (s.desktop != nullptr) XDestroyImage(s.desktop);
  s.desktop = nullptr;
}
