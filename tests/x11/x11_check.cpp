// x11_check - what the X11 program shows on the test's X display, checked
// against the native renderer (tools/frame_renderer) over the same desktop.
//
//   x11_check desktop                       the test desktop (TestDesktop, screen-sized)
//                                           becomes the root window's background
//   x11_check dpi N                         the server's resources say Xft.dpi: N
//   x11_check frames OUT SCALE GYREWELL [ARGS]
//                                           puts the test desktop up, runs
//                                           GYREWELL -root -seed 7 -frames 40 ARGS
//                                           and compares the root, pixel for pixel,
//                                           with the renderer's 40th frame at SCALE;
//                                           then ends it (SIGTERM: status 0, desktop back)
//   x11_check window OUT KIND GYREWELL [ARGS]
//                                           the same on a window: runs GYREWELL
//                                           -seed 7 -frames 40 ARGS (100 frames with
//                                           -fps, its corner apart) on it; KIND argb:
//                                           a depth-32 window made here, handed over
//                                           by -window-id as a wrapper does, over the
//                                           root under it; argb-daemon: the same as
//                                           the daemon does ($XSCREENSAVER_WINDOW,
//                                           -root), over black; own: -window on a
//                                           screen whose default visual is not
//                                           TrueColor, over black. Every pixel must
//                                           be opaque
//   x11_check scene OUT NAME                the root shows the effect over the test
//                                           desktop: its edges, the pit, sprites
//   x11_check desktop-back OUT NAME         the root shows the test desktop again
//   x11_check pane OUT NAME ID              window ID (a settings program's preview)
//                                           is drawn whole: no row or column mostly
//                                           black, and the picture moves
//
// The pixels are read back into the effect's own format at the composition
// depth (5-5-5 words for a 16-bit visual, each channel cut to five bits; else
// B,G,R bytes), independently of the program's conversions, and compared with
// the renderer's surfaces. The picture read is written to OUT/NAME.png. Exit
// status 0 when the check holds, 1 with a reason when not.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frame_renderer.h"
#include "png_io.h"

namespace {

constexpr int Frames = 40;
constexpr int FpsFrames = 100;  // over a second at the default delay: the figure is up
constexpr std::uint32_t Seed = 7;

struct TestScreen {
  Display* display;
  Window root;
  int width, height;
  Visual* visual;
  int depth;  // of the root window
};

// A drawable's pixels as the effect would hold them: 5-5-5 words, or B,G,R,0 bytes.
struct Shown {
  int width, height;
  int effectDepth;          // 16 for a visual of 16 bits or fewer, else 32
  std::vector<std::uint8_t> pixels;
  long transparent;         // pixels of a depth-32 visual whose alpha is not all ones
};

int Fail(const std::string& why) {
  std::fprintf(stderr, "x11_check: %s\n", why.c_str());
  return 1;
}

int Bits(unsigned long mask) {
  int n = 0;
  for (; mask != 0; mask >>= 1) n += mask & 1;
  return n;
}
int Shift(unsigned long mask) {
  int n = 0;
  for (; mask != 0 && (mask & 1) == 0; mask >>= 1) ++n;
  return n;
}

int EffectDepth(int depth) { return depth <= 16 ? 16 : 32; }

bool OpenScreen(TestScreen& s) {
  s.display = XOpenDisplay(nullptr);
  if (s.display == nullptr) return false;
  const int screen = DefaultScreen(s.display);
  s.root = RootWindow(s.display, screen);
  s.width = DisplayWidth(s.display, screen);
  s.height = DisplayHeight(s.display, screen);
  s.visual = DefaultVisual(s.display, screen);
  s.depth = DefaultDepth(s.display, screen);
  return true;
}

// The renderer over a desktop of the screen's size, at that depth and scale.
bool StartReference(FrameRenderer& r, int width, int height, int effectDepth, int scale, const RgbImage& desktop) {
  RenderSetup setup;
  setup.depth = effectDepth;
  setup.screenWidth = width;
  setup.screenHeight = height;
  setup.seed = Seed;
  setup.scale = scale;
  return StartRenderer(r, setup, ReadFileBytes(std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp"), desktop);
}

RgbImage BlackDesktop(int width, int height) {
  RgbImage image;
  image.width = width;
  image.height = height;
  image.rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
  return image;
}

// Each channel's top bits at the visual's place.
unsigned long ServerPixel(const TestScreen& s, const std::uint8_t* rgb) {
  const unsigned long masks[3] = {s.visual->red_mask, s.visual->green_mask, s.visual->blue_mask};
  unsigned long pixel = 0;
  for (int c = 0; c < 3; ++c) pixel |= static_cast<unsigned long>(rgb[c] >> (8 - Bits(masks[c]))) << Shift(masks[c]);
  return pixel;
}

void PutDesktop(const TestScreen& s) {
  const RgbImage desktop = TestDesktop(s.width, s.height);
  const Pixmap pixmap = XCreatePixmap(s.display, s.root, s.width, s.height, s.depth);
  XImage* image = XGetImage(s.display, pixmap, 0, 0, s.width, s.height, AllPlanes, ZPixmap);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) XPutPixel(image, x, y, ServerPixel(s, &desktop.rgb[(y * s.width + x) * 3]));
  const GC gc = XCreateGC(s.display, pixmap, 0, nullptr);
  XPutImage(s.display, pixmap, gc, image, 0, 0, 0, 0, s.width, s.height);
  XSetWindowBackgroundPixmap(s.display, s.root, pixmap);
  XClearWindow(s.display, s.root);
  XFreeGC(s.display, gc);
  XDestroyImage(image);
  // The background outlives this program (Xvfb runs with -noreset).
  XSetCloseDownMode(s.display, RetainPermanent);
  XSync(s.display, False);
}

// The server's resource database as a desktop at that DPI leaves it.
void PutDpi(const TestScreen& s, const std::string& dpi) {
  const std::string resources = "Xft.dpi:\t" + dpi + "\n";
  XChangeProperty(s.display, s.root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
  XSync(s.display, False);
}

Shown ReadDrawable(Display* display, Drawable drawable, const Visual* visual, int depth, int width, int height) {
  Shown shown{width, height, EffectDepth(depth), {}, 0};
  XImage* image = XGetImage(display, drawable, 0, 0, width, height, AllPlanes, ZPixmap);
  if (image == nullptr) return Shown{0, 0, shown.effectDepth, {}, 0};  // not viewable (ReportError says why)
  const unsigned long masks[3] = {visual->red_mask, visual->green_mask, visual->blue_mask};
  const unsigned long alpha = depth == 32 ? 0xFFFFFFFFul & ~(masks[0] | masks[1] | masks[2]) : 0;
  const int keep = shown.effectDepth == 16 ? 5 : 8, bytes = shown.effectDepth / 8;
  shown.pixels.resize(static_cast<std::size_t>(width) * height * bytes);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      shown.transparent += (pixel & alpha) != alpha;
      unsigned value[3];
      for (int c = 0; c < 3; ++c)
        value[c] = static_cast<unsigned>((pixel & masks[c]) >> Shift(masks[c])) >> (Bits(masks[c]) - keep);
      std::uint8_t* p = &shown.pixels[(static_cast<std::size_t>(y) * width + x) * bytes];
      if (shown.effectDepth == 16) {
        const unsigned word = value[0] << 10 | value[1] << 5 | value[2];
        p[0] = static_cast<std::uint8_t>(word);
        p[1] = static_cast<std::uint8_t>(word >> 8);
      } else {
        p[0] = static_cast<std::uint8_t>(value[2]);
        p[1] = static_cast<std::uint8_t>(value[1]);
        p[2] = static_cast<std::uint8_t>(value[0]);
        p[3] = 0;
      }
    }
  }
  XDestroyImage(image);
  return shown;
}

Shown ReadRoot(const TestScreen& s) { return ReadDrawable(s.display, s.root, s.visual, s.depth, s.width, s.height); }

PixelSurface View(Shown& shown) { return PixelSurface{shown.pixels.data(), shown.width, shown.height}; }

bool SamePixel(int depth, const PixelSurface& a, int ax, int ay, const PixelSurface& b, int bx, int by) {
  const std::uint8_t* p = PixelAddress(a, depth, ax, ay);
  const std::uint8_t* q = PixelAddress(b, depth, bx, by);
  if (depth == 16) return p[0] == q[0] && (p[1] & 0x7F) == (q[1] & 0x7F);
  return p[0] == q[0] && p[1] == q[1] && p[2] == q[2];
}

void Save(const std::string& out, const std::string& name, Shown& shown) {
  WritePng(out + "/" + name + ".png", SurfacePicture(View(shown), shown.effectDepth, 0, 0, shown.width, shown.height));
}

// Pixels of the picture that differ from another surface of that depth, within a box.
int Differing(int depth, const PixelSurface& shown, const PixelSurface& other, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += !SamePixel(depth, shown, x, y, other, x, y);
  return n;
}

bool Given(int argc, char** argv, const char* option) {
  for (int i = 0; i < argc; ++i)
    if (std::strcmp(argv[i], option) == 0) return true;
  return false;
}

// Runs the program with its output on a pipe, $XSCREENSAVER_WINDOW set when
// daemonWindow is not 0, until it says it has shown that many frames; its pid,
// or 0 (and why in failure) when it said anything else.
pid_t RunUntilShown(std::vector<const char*> args, int frames, Window daemonWindow, std::string& failure) {
  int output[2];
  if (pipe(output) != 0) {
    failure = "no pipe";
    return 0;
  }
  args.push_back(nullptr);
  char window[32];
  std::snprintf(window, sizeof window, "0x%lx", daemonWindow);
  const pid_t child = fork();
  if (child == 0) {
    dup2(output[1], 1);
    close(output[0]);
    if (daemonWindow != 0) setenv("XSCREENSAVER_WINDOW", window, 1);
    execv(args[0], const_cast<char* const*>(args.data()));
    _exit(127);
  }
  close(output[1]);
  const std::string expected = "gyrewell: " + std::to_string(frames) + " frames shown\n";
  std::string said;
  char chunk[256];
  pollfd readable = {output[0], POLLIN, 0};
  while (said.find("frames shown") == std::string::npos && poll(&readable, 1, 60000) > 0) {
    const ssize_t n = read(output[0], chunk, sizeof chunk);
    if (n <= 0) break;
    said.append(chunk, static_cast<std::size_t>(n));
  }
  close(output[0]);
  if (said == expected) return child;
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  failure = "the program said \"" + said + "\", not that it had shown " + std::to_string(frames) + " frames";
  return 0;
}

// Ends the program as the daemon does; the reason when it did not end with status 0.
std::string EndProgram(pid_t child) {
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "SIGTERM did not end the program with status 0";
}

int CheckFrames(const TestScreen& s, const std::string& out, int scale, int argc, char** argv) {
  PutDesktop(s);
  std::vector<const char*> args = {argv[0], "-root", "-seed", "7", "-frames", "40"};
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  std::string failure;
  const pid_t child = RunUntilShown(args, Frames, 0, failure);
  if (child == 0) return Fail(failure);
  Shown shown = ReadRoot(s);
  Save(out, "frame40", shown);
  const int depth = shown.effectDepth;
  FrameRenderer r;
  if (!StartReference(r, s.width, s.height, depth, scale, TestDesktop(s.width, s.height)))
    return Fail("the renderer refused the sheet");
  for (int f = 0; f < Frames; ++f) RenderChangedFrame(r);
  WritePng(out + "/expected40.png", WindowPicture(r));
  const int differing = Differing(depth, View(shown), r.window, 0, 0, s.width, s.height);

  const std::string ended = EndProgram(child);
  if (differing != 0)
    return Fail(std::to_string(differing) + " pixels differ from the renderer's frame 40 at scale " +
                std::to_string(scale));
  if (!ended.empty()) return Fail(ended);
  Shown after = ReadRoot(s);
  Save(out, "after-exit", after);
  if (Differing(depth, View(after), r.scene->surfaces.snapshot, 0, 0, s.width, s.height) != 0)
    return Fail("the desktop did not come back after the end");
  return 0;
}

// A depth-32 window with a colormap of its own, as a compositor's ARGB window
// is, mapped and shown; 0 when the server offers no such visual.
Window MakeArgbWindow(const TestScreen& s, int width, int height, Colormap& colormap) {
  XVisualInfo info;
  if (XMatchVisualInfo(s.display, DefaultScreen(s.display), 32, TrueColor, &info) == 0) return 0;
  colormap = XCreateColormap(s.display, s.root, info.visual, AllocNone);
  XSetWindowAttributes a = {};
  a.colormap = colormap;
  a.border_pixel = 0;
  a.background_pixel = 0;  // transparent until drawn on
  a.event_mask = StructureNotifyMask;
  const Window window = XCreateWindow(s.display, s.root, 40, 30, width, height, 0, 32, InputOutput, info.visual,
                                      CWColormap | CWBorderPixel | CWBackPixel | CWEventMask, &a);
  XMapWindow(s.display, window);
  for (XEvent e;;) {
    XWindowEvent(s.display, window, StructureNotifyMask, &e);
    if (e.type == MapNotify) break;
  }
  return window;
}

// A top-level window named "Gyrewell"; 0 when there is none.
Window FindOwnWindow(const TestScreen& s) {
  Window rootReturn, parent, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(s.display, s.root, &rootReturn, &parent, &children, &count) == 0) return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    if (XFetchName(s.display, children[i], &name) != 0 && name != nullptr) {
      if (std::strcmp(name, "Gyrewell") == 0) found = children[i];
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

// What the program reads under a window it is handed (a TrueColor root).
RgbImage RootUnder(const TestScreen& s, Window window, int width, int height) {
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(s.display, window, s.root, 0, 0, &x, &y, &child);
  XImage* image = XGetImage(s.display, s.root, x, y, width, height, AllPlanes, ZPixmap);
  RgbImage picture = BlackDesktop(width, height);
  const unsigned long masks[3] = {s.visual->red_mask, s.visual->green_mask, s.visual->blue_mask};
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column) {
      const unsigned long pixel = XGetPixel(image, column, row);
      for (int c = 0; c < 3; ++c)
        picture.rgb[(static_cast<std::size_t>(row) * width + column) * 3 + c] =
            static_cast<std::uint8_t>((pixel & masks[c]) >> Shift(masks[c]) << (8 - Bits(masks[c])));
    }
  XDestroyImage(image);
  return picture;
}

int CheckWindow(const TestScreen& s, const std::string& out, const std::string& kind, int argc, char** argv) {
  const bool fps = Given(argc, argv, "-fps");
  const int frames = fps ? FpsFrames : Frames;
  const std::string count = std::to_string(frames);
  Colormap colormap = 0;
  Window window = 0, daemonWindow = 0;
  char id[32] = "";
  RgbImage desktop;
  std::vector<const char*> args = {argv[0]};
  if (kind == "argb" || kind == "argb-daemon") {
    window = MakeArgbWindow(s, 480, 320, colormap);
    if (window == 0) return Fail("the server offers no depth-32 TrueColor visual");
    std::snprintf(id, sizeof id, "0x%lx", window);
    if (kind == "argb") {
      desktop = RootUnder(s, window, 480, 320);
      args.insert(args.end(), {"-window-id", id});
    } else {
      desktop = BlackDesktop(480, 320);  // the daemon's helper cannot paint a depth-32 window
      daemonWindow = window;
      args.push_back("-root");
    }
  } else if (kind == "own") {
    // Where the root is not TrueColor the program reads no desktop: black.
    if (s.visual->c_class == TrueColor) return Fail("own: a screen whose default visual is not TrueColor is needed");
    args.push_back("-window");
  } else {
    return Fail("unknown window kind " + kind);
  }
  for (const char* a : {"-seed", "7", "-frames", count.c_str()}) args.push_back(a);
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  std::string failure;
  const pid_t child = RunUntilShown(args, frames, daemonWindow, failure);
  if (child == 0) return Fail(failure);
  if (window == 0 && (window = FindOwnWindow(s)) == 0) {
    EndProgram(child);
    return Fail("no window named Gyrewell");
  }
  XWindowAttributes a;
  XGetWindowAttributes(s.display, window, &a);
  if (kind == "own") desktop = BlackDesktop(a.width, a.height);
  Shown shown = ReadDrawable(s.display, window, a.visual, a.depth, a.width, a.height);
  const std::string ended = EndProgram(child);
  if (shown.width == 0) return Fail("the window could not be read (map state " + std::to_string(a.map_state) + ")");
  Save(out, kind, shown);

  FrameRenderer r;
  const int depth = shown.effectDepth;
  if (!StartReference(r, a.width, a.height, depth, 1, desktop)) return Fail("the renderer refused the sheet");
  for (int f = 0; f < frames; ++f) RenderChangedFrame(r);
  WritePng(out + "/" + kind + "-expected.png", WindowPicture(r));
  // The figure's corner (the "fixed" font, some ten characters) differs from the renderer's.
  const int cornerRight = fps ? 160 : 0, cornerTop = fps ? a.height - 40 : a.height;
  const PixelSurface view = View(shown);
  const int differing = Differing(depth, view, r.window, 0, 0, a.width, cornerTop) +
                        Differing(depth, view, r.window, cornerRight, cornerTop, a.width, a.height);
  if (colormap != 0) XFreeColormap(s.display, colormap);
  if (differing != 0) return Fail(std::to_string(differing) + " pixels differ from the renderer's frame " + count);
  if (fps && Differing(depth, view, r.window, 0, cornerTop, cornerRight, a.height) == 0)
    return Fail("no frame rate in the lower left corner");
  if (shown.transparent != 0) return Fail(std::to_string(shown.transparent) + " pixels are not opaque");
  return ended.empty() ? 0 : Fail(ended);
}

int CheckScene(const TestScreen& s, const std::string& out, const std::string& name, bool effect) {
  Shown shown = ReadRoot(s);
  Save(out, name, shown);
  const int depth = shown.effectDepth;
  FrameRenderer r;
  if (!StartReference(r, s.width, s.height, depth, 1, TestDesktop(s.width, s.height)))
    return Fail("the renderer refused the sheet");
  const PixelSurface desktop = r.scene->surfaces.snapshot, screen = View(shown);
  const int w = s.width, h = s.height;
  const int all = Differing(depth, screen, desktop, 0, 0, w, h);
  if (!effect) return all == 0 ? 0 : Fail(std::to_string(all) + " pixels differ from the desktop");

  // The edges: a band 8 pixels wide, where only a sprite passing by covers the desktop.
  const int band = 8;
  const int edge = Differing(depth, screen, desktop, 0, 0, w, band) +
                   Differing(depth, screen, desktop, 0, h - band, w, h) +
                   Differing(depth, screen, desktop, 0, band, band, h - band) +
                   Differing(depth, screen, desktop, w - band, band, w, h - band);
  if (edge > 2 * band * (w + h) / 10)
    return Fail(std::to_string(edge) + " pixels of the edges differ from the desktop");
  // The pit: its middle much darker than the desktop there.
  const int cx = w / 2, cy = h / 2;
  long shownLight = 0, desktopLight = 0;
  const RgbImage a = SurfacePicture(screen, depth, cx - 16, cy - 16, 32, 32);
  const RgbImage b = SurfacePicture(desktop, depth, cx - 16, cy - 16, 32, 32);
  for (std::size_t i = 0; i < a.rgb.size(); ++i) shownLight += a.rgb[i], desktopLight += b.rgb[i];
  if (shownLight * 3 > desktopLight) return Fail("no dark pit in the middle");
  // Sprites: away from the edges and the pit, the picture is not the desktop.
  const int away = all - edge - Differing(depth, screen, desktop, cx - 48, cy - 48, cx + 48, cy + 48);
  if (away < 300) return Fail("no sprites: only " + std::to_string(away) + " pixels differ from the desktop");
  return 0;
}

// Rows and columns of the picture of which more than half is black: a band
// the backdrop does not reach, even where sprites cross it (the pit covers
// far less of any line).
int BlackLines(Shown& shown) {
  const PixelSurface view = View(shown);
  const RgbImage rgb = SurfacePicture(view, shown.effectDepth, 0, 0, shown.width, shown.height);
  std::vector<int> rowBlack(shown.height), columnBlack(shown.width);
  for (int y = 0; y < shown.height; ++y)
    for (int x = 0; x < shown.width; ++x) {
      const std::uint8_t* p = &rgb.rgb[(static_cast<std::size_t>(y) * shown.width + x) * 3];
      if (p[0] + p[1] + p[2] == 0) ++rowBlack[y], ++columnBlack[x];
    }
  int black = 0;
  for (int n : rowBlack) black += 2 * n > shown.width;
  for (int n : columnBlack) black += 2 * n > shown.height;
  return black;
}

// The preview of a settings program: its backdrop reaches every edge, and
// sprites move over it.
int CheckPane(const TestScreen& s, const std::string& out, const std::string& name, Window pane) {
  XWindowAttributes a;
  if (XGetWindowAttributes(s.display, pane, &a) == 0) return Fail("no window " + std::to_string(pane));
  Shown first = ReadDrawable(s.display, pane, a.visual, a.depth, a.width, a.height);
  usleep(300000);
  Shown later = ReadDrawable(s.display, pane, a.visual, a.depth, a.width, a.height);
  Save(out, name, later);
  if (first.width != a.width || later.width != a.width) return Fail("the pane could not be read");
  const int black = BlackLines(later);
  if (black != 0)
    return Fail(std::to_string(black) + " rows and columns of the " + std::to_string(a.width) + "x" +
                std::to_string(a.height) + " pane are black");
  const int moved = Differing(later.effectDepth, View(later), View(first), 0, 0, a.width, a.height);
  if (moved < 100) return Fail("the pane stands still: " + std::to_string(moved) + " pixels changed in 0.3 s");
  return 0;
}

// An X error is a failed check, said as such, not the end of the checker.
int ReportError(Display* display, XErrorEvent* e) {
  char text[128];
  XGetErrorText(display, e->error_code, text, sizeof text);
  std::fprintf(stderr, "x11_check: X error %s (request %d) on 0x%lx\n", text, e->request_code, e->resourceid);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  XSetErrorHandler(ReportError);
  TestScreen s;
  if (argc < 2 || !OpenScreen(s))
    return Fail("usage: x11_check desktop|dpi|frames|window|scene|desktop-back|pane ... (on $DISPLAY)");
  const std::string what = argv[1];
  const bool rootChecks = what == "frames" || what == "scene" || what == "desktop-back";
  if (rootChecks && s.depth != 16 && s.depth != 24) return Fail("a 16- or 24-bit screen is needed");
  int result = 1;
  if (what == "desktop") {
    PutDesktop(s);
    result = 0;
  } else if (what == "dpi" && argc == 3) {
    PutDpi(s, argv[2]);
    result = 0;
  } else if (what == "frames" && argc >= 5) {
    result = CheckFrames(s, argv[2], std::atoi(argv[3]), argc - 4, argv + 4);
  } else if (what == "window" && argc >= 5) {
    result = CheckWindow(s, argv[2], argv[3], argc - 4, argv + 4);
  } else if ((what == "scene" || what == "desktop-back") && argc == 4) {
    result = CheckScene(s, argv[2], argv[3], what == "scene");
  } else if (what == "pane" && argc == 5) {
    result = CheckPane(s, argv[2], argv[3], std::strtoul(argv[4], nullptr, 0));
  } else {
    result = Fail("unknown check " + what);
  }
  XCloseDisplay(s.display);
  return result;
}
