// x11_window.cpp - see x11_window.h.
//
// Errors are counted, never fatal: a window handed over by someone else may
// be destroyed at any moment, and the requests already on their way then fail
// with BadWindow or BadDrawable. That ends the program the same way as the
// window's DestroyNotify does.
#include "x11/x11_window.h"

#include <X11/Xresource.h>
#include <fcntl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "unix/scale.h"
#include "x11/waiting.h"

namespace {

// A window of its own: at most this size, never larger than the screen.
constexpr std::int32_t OwnWindowWidth = 1024;
constexpr std::int32_t OwnWindowHeight = 640;

X11Saver* ErrorTarget;  // whose window's errors mean that it is gone
std::uint32_t ErrorCount;

int CountError(Display*, XErrorEvent* e) {
  ++ErrorCount;
  if (ErrorTarget != nullptr && e->resourceid == ErrorTarget->window &&
      (e->error_code == BadWindow || e->error_code == BadDrawable))
    ErrorTarget->closed = true;
  return 0;
}

// $XSCREENSAVER_WINDOW: decimal or 0x hexadecimal; 0 when unset or not a number.
Window DaemonWindow() {
  const char* text = std::getenv("XSCREENSAVER_WINDOW");
  if (text == nullptr || *text == '\0') return 0;
  char* end = nullptr;
  const unsigned long id = std::strtoul(text, &end, 0);
  return *end == '\0' ? id : 0;
}

// Bits per pixel of images of that depth on this server; 0 when it has none.
std::int32_t BitsPerPixel(Display* d, std::int32_t depth) {
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(d, &count);
  std::int32_t bits = 0;
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
  if (formats != nullptr) XFree(formats);
  return bits;
}

// How the server lays out pixels of that visual in images.
PixelLayout LayoutOf(Display* d, const Visual* visual, std::int32_t depth) {
  PixelLayout layout{BitsPerPixel(d, depth), static_cast<std::uint32_t>(visual->red_mask),
                     static_cast<std::uint32_t>(visual->green_mask), static_cast<std::uint32_t>(visual->blue_mask),
                     ImageByteOrder(d) == MSBFirst};
  layout.opaqueMask = OpaqueBits(layout, depth);
  return layout;
}

bool Drawable(Display* d, const Visual* visual, std::int32_t depth) {
  return visual->c_class == TrueColor && CompositionDepth(LayoutOf(d, visual, depth)) != 0;
}

// The screen's default visual when the effect draws at it; else (the default
// of an 8-bit screen is PseudoColor) a TrueColor visual the server also
// offers, with a colormap of its own. False when there is none.
bool ChooseOwnVisual(X11Saver& s, int screen) {
  s.visual = DefaultVisual(s.display, screen);
  s.visualDepth = DefaultDepth(s.display, screen);
  if (Drawable(s.display, s.visual, s.visualDepth)) return true;
  for (const int depth : {24, 16, 15, 32}) {
    XVisualInfo info;
    if (XMatchVisualInfo(s.display, screen, depth, TrueColor, &info) != 0 &&
        Drawable(s.display, info.visual, info.depth)) {
      s.visual = info.visual;
      s.visualDepth = info.depth;
      s.colormap = XCreateColormap(s.display, RootWindow(s.display, screen), s.visual, AllocNone);
      return true;
    }
  }
  return false;
}

bool CreateOwnWindow(X11Saver& s) {
  const int screen = DefaultScreen(s.display);
  s.width = std::min(OwnWindowWidth, DisplayWidth(s.display, screen));
  s.height = std::min(OwnWindowHeight, DisplayHeight(s.display, screen));
  XSetWindowAttributes attributes = {};
  // Black in any TrueColor visual; a border colour is needed when the visual
  // is not the root's.
  const unsigned long black = LayoutOf(s.display, s.visual, s.visualDepth).opaqueMask;
  attributes.background_pixel = black;
  attributes.border_pixel = black;
  attributes.event_mask = ExposureMask | StructureNotifyMask;
  unsigned long mask = CWBackPixel | CWBorderPixel | CWEventMask;
  if (s.colormap != 0) {
    attributes.colormap = s.colormap;
    mask |= CWColormap;
  }
  s.window = XCreateWindow(s.display, RootWindow(s.display, screen), 0, 0, static_cast<unsigned>(s.width),
                           static_cast<unsigned>(s.height), 0, s.visualDepth, InputOutput, s.visual, mask,
                           &attributes);
  if (s.window == 0) return false;
  s.ownWindow = true;
  XStoreName(s.display, s.window, "Gyrewell");
  XClassHint hint = {const_cast<char*>("gyrewell"), const_cast<char*>("Gyrewell")};
  XSetClassHint(s.display, s.window, &hint);
  s.deleteWindow = XInternAtom(s.display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(s.display, s.window, &s.deleteWindow, 1);
  return true;
}

// The desktop's Xft.dpi from the server's resource database (what xrdb and the
// desktops' settings daemons set), looked up as Xft itself does; 0 when unset.
std::int32_t ReadXftDpi(Display* d) {
  const char* resources = XResourceManagerString(d);
  if (resources == nullptr) return 0;
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  if (database == nullptr) return 0;
  char* type = nullptr;
  XrmValue value = {};
  std::int32_t dpi = 0;
  if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) != 0 && value.addr != nullptr)
    dpi = ReadDpi(value.addr);
  XrmDestroyDatabase(database);
  return dpi;
}

bool ReadGivenWindow(X11Saver& s) {
  XWindowAttributes a;
  const std::uint32_t before = ErrorsSoFar();
  if (XGetWindowAttributes(s.display, s.window, &a) == 0 || ErrorsSoFar() != before) return false;
  s.visual = a.visual;
  s.visualDepth = a.depth;
  s.width = a.width;
  s.height = a.height;
  // Exposures, and the size and end of a window that is not ours.
  XSelectInput(s.display, s.window, ExposureMask | StructureNotifyMask);
  return true;
}

}  // namespace

std::uint32_t ErrorsSoFar() { return ErrorCount; }

bool OpenWindow(X11Saver& s, char* error, std::size_t size) {
  s.display = XOpenDisplay(s.options.displayName);
  if (s.display == nullptr) {
    std::snprintf(error, size, "cannot open display \"%s\"", XDisplayName(s.options.displayName));
    return false;
  }
  // Programs started here (the image helper) do not inherit the connection.
  fcntl(ConnectionNumber(s.display), F_SETFD, FD_CLOEXEC);
  ErrorTarget = &s;
  XSetErrorHandler(CountError);
  s.xftDpi = ReadXftDpi(s.display);

  const Window root = DefaultRootWindow(s.display);
  const Window daemon = DaemonWindow();
  switch (s.options.target) {
    case TargetWindowId: s.window = s.options.windowId; break;
    case TargetRoot: s.window = daemon != 0 ? daemon : root; break;
    case TargetOwnWindow: s.window = 0; break;
    case TargetDefault: s.window = daemon; break;
  }
  s.daemonWindow = s.window != 0 && s.window == daemon;
  s.realRoot = s.window == root;
  if (s.window == 0) {
    if (!ChooseOwnVisual(s, DefaultScreen(s.display))) {
      std::snprintf(error, size, "the screen offers no TrueColor visual at 15, 16, 24 or 32 bits");
      return false;
    }
    if (!CreateOwnWindow(s)) {
      std::snprintf(error, size, "cannot create a window");
      return false;
    }
  } else if (!ReadGivenWindow(s)) {
    std::snprintf(error, size, "no window 0x%lx on display \"%s\"", s.window, DisplayString(s.display));
    s.window = 0;
    return false;
  }

  s.pixels = LayoutOf(s.display, s.visual, s.visualDepth);
  s.depth = s.visual->c_class == TrueColor ? CompositionDepth(s.pixels) : 0;
  if (s.depth == 0) {
    std::snprintf(error, size, "the window's visual (depth %d) is not TrueColor at 15, 16, 24 or 32 bits",
                  s.visualDepth);
    return false;
  }
  // White and black of the window's own visual (the screen's WhitePixel is the
  // default colormap's), opaque in an ARGB visual: the -fps figure's colours.
  XGCValues values = {};
  values.foreground = s.pixels.redMask | s.pixels.greenMask | s.pixels.blueMask | s.pixels.opaqueMask;
  values.background = s.pixels.opaqueMask;
  values.graphics_exposures = False;
  s.gc = XCreateGC(s.display, s.window, GCForeground | GCBackground | GCGraphicsExposures, &values);
  return true;
}

bool ShowOwnWindow(X11Saver& s) {
  XMapRaised(s.display, s.window);
  for (;;) {
    while (XPending(s.display)) {
      XEvent e;
      XNextEvent(s.display, &e);
      if (e.type == MapNotify && e.xmap.window == s.window) {
        // A window manager may have given it another size.
        XWindowAttributes a;
        if (XGetWindowAttributes(s.display, s.window, &a) != 0) {
          s.width = a.width;
          s.height = a.height;
        }
        return true;
      }
    }
    if (!WaitForInput(s, -1)) return false;
  }
}

void HandleEvents(X11Saver& s) {
  while (XPending(s.display)) {
    XEvent e;
    XNextEvent(s.display, &e);
    switch (e.type) {
      case Expose:
        if (e.xexpose.window == s.window) s.exposed = true;
        break;
      case ConfigureNotify:
        if (e.xconfigure.window == s.window && (e.xconfigure.width != s.width || e.xconfigure.height != s.height)) {
          s.width = e.xconfigure.width;
          s.height = e.xconfigure.height;
          s.resized = true;
        }
        break;
      case DestroyNotify:
        if (e.xdestroywindow.window == s.window) s.closed = true;
        break;
      case ClientMessage:
        if (s.ownWindow && e.xclient.format == 32 && static_cast<Atom>(e.xclient.data.l[0]) == s.deleteWindow)
          s.closed = true;
        break;
      default:
        break;
    }
  }
}

void WindowOrigin(const X11Saver& s, std::int32_t& x, std::int32_t& y) {
  int rootX = 0, rootY = 0;
  Window child;
  XTranslateCoordinates(s.display, s.window, DefaultRootWindow(s.display), 0, 0, &rootX, &rootY, &child);
  x = rootX;
  y = rootY;
}

void CloseWindow(X11Saver& s) {
  if (s.display == nullptr) return;
  if (s.gc != nullptr) XFreeGC(s.display, s.gc);
  s.gc = nullptr;
  if (s.window != 0 && !s.closed) {
    if (s.ownWindow) XDestroyWindow(s.display, s.window);
    else if (s.realRoot) XClearArea(s.display, s.window, 0, 0, 0, 0, True);
  }
  if (s.colormap != 0) XFreeColormap(s.display, s.colormap);
  s.colormap = 0;
  XCloseDisplay(s.display);  // flushes what is left
  s.display = nullptr;
  ErrorTarget = nullptr;
}
