// x11_check - what the X11 program shows on the test's X display, checked
// against the native renderer (tools/frame_renderer) over the same desktop.
//
//   x11_check desktop                       the test desktop (TestDesktop, screen-sized)
//                                           becomes the root window's background
//   x11_check frames OUT GYREWELL [ARGS]    puts the test desktop up, runs
//                                           GYREWELL -root -seed 7 -frames 40 ARGS
//                                           and compares the root, pixel for pixel,
//                                           with the renderer's 40th frame; then ends
//                                           it (SIGTERM: status 0, desktop back)
//   x11_check scene OUT NAME                the root shows the effect over the test
//                                           desktop: its edges, the pit, sprites
//   x11_check desktop-back OUT NAME         the root shows the test desktop again
//
// The screen's pixels are read back into the effect's own format at the
// composition depth (5-5-5 words for a 16-bit screen, each channel cut to
// five bits; else B,G,R bytes), independently of the program's conversions,
// and compared with the renderer's surfaces. The picture read is written to
// OUT/NAME.png. Exit status 0 when the check holds, 1 with a reason when not.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "frame_renderer.h"
#include "png_io.h"

namespace {

constexpr int Frames = 40;
constexpr std::uint32_t Seed = 7;

struct TestScreen {
  Display* display;
  Window root;
  int width, height;
  Visual* visual;
  int depth;        // of the root window
  int effectDepth;  // 16 for 16 bits per pixel, else 32
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

bool OpenScreen(TestScreen& s) {
  s.display = XOpenDisplay(nullptr);
  if (s.display == nullptr) return false;
  const int screen = DefaultScreen(s.display);
  s.root = RootWindow(s.display, screen);
  s.width = DisplayWidth(s.display, screen);
  s.height = DisplayHeight(s.display, screen);
  s.visual = DefaultVisual(s.display, screen);
  s.depth = DefaultDepth(s.display, screen);
  s.effectDepth = s.depth <= 16 ? 16 : 32;
  return true;
}

// The renderer over the test desktop of the screen's size, at the screen's depth.
bool StartReference(const TestScreen& s, FrameRenderer& r) {
  RenderSetup setup;
  setup.depth = s.effectDepth;
  setup.screenWidth = s.width;
  setup.screenHeight = s.height;
  setup.seed = Seed;
  return StartRenderer(r, setup, ReadFileBytes(std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp"),
                       TestDesktop(s.width, s.height));
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

// The root as the effect would hold it: 5-5-5 words, or B,G,R,0 bytes.
std::vector<std::uint8_t> ReadRoot(const TestScreen& s) {
  XImage* image = XGetImage(s.display, s.root, 0, 0, s.width, s.height, AllPlanes, ZPixmap);
  const unsigned long masks[3] = {s.visual->red_mask, s.visual->green_mask, s.visual->blue_mask};
  const int keep = s.effectDepth == 16 ? 5 : 8;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(s.width) * s.height * (s.effectDepth / 8));
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      unsigned value[3];
      for (int c = 0; c < 3; ++c) value[c] = static_cast<unsigned>((pixel & masks[c]) >> Shift(masks[c])) >> (Bits(masks[c]) - keep);
      std::uint8_t* p = &out[(static_cast<std::size_t>(y) * s.width + x) * (s.effectDepth / 8)];
      if (s.effectDepth == 16) {
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
  return out;
}

PixelSurface View(const TestScreen& s, std::vector<std::uint8_t>& pixels) { return PixelSurface{pixels.data(), s.width, s.height}; }

bool SamePixel(const TestScreen& s, const PixelSurface& a, int ax, int ay, const PixelSurface& b, int bx, int by) {
  const std::uint8_t* p = PixelAddress(a, s.effectDepth, ax, ay);
  const std::uint8_t* q = PixelAddress(b, s.effectDepth, bx, by);
  if (s.effectDepth == 16) return p[0] == q[0] && (p[1] & 0x7F) == (q[1] & 0x7F);
  return p[0] == q[0] && p[1] == q[1] && p[2] == q[2];
}

void Save(const TestScreen& s, const std::string& out, const std::string& name, std::vector<std::uint8_t>& pixels) {
  WritePng(out + "/" + name + ".png", SurfacePicture(View(s, pixels), s.effectDepth, 0, 0, s.width, s.height));
}

// Pixels of the root that differ from the desktop in the snapshot, within a box.
int Differing(const TestScreen& s, const PixelSurface& shown, const PixelSurface& desktop, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += !SamePixel(s, shown, x, y, desktop, x, y);
  return n;
}

int CheckFrames(const TestScreen& s, const std::string& out, int argc, char** argv) {
  PutDesktop(s);
  int output[2];
  if (pipe(output) != 0) return Fail("no pipe");
  std::vector<const char*> args = {argv[0], "-root", "-seed", "7", "-frames", "40"};
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(output[1], 1);
    close(output[0]);
    execv(argv[0], const_cast<char* const*>(args.data()));
    _exit(127);
  }
  close(output[1]);
  std::string said;
  char chunk[256];
  pollfd readable = {output[0], POLLIN, 0};
  while (said.find("frames shown") == std::string::npos && poll(&readable, 1, 60000) > 0) {
    const ssize_t n = read(output[0], chunk, sizeof chunk);
    if (n <= 0) break;
    said.append(chunk, static_cast<std::size_t>(n));
  }
  if (said != "gyrewell: 40 frames shown\n") {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return Fail("the program said \"" + said + "\", not that it had shown 40 frames");
  }
  std::vector<std::uint8_t> shown = ReadRoot(s);
  Save(s, out, "frame40", shown);
  FrameRenderer r;
  if (!StartReference(s, r)) return Fail("the renderer refused the sheet");
  for (int f = 0; f < Frames; ++f) RenderChangedFrame(r);
  WritePng(out + "/expected40.png", WindowPicture(r));
  const int differing = Differing(s, View(s, shown), r.window, 0, 0, s.width, s.height);

  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  if (differing != 0) return Fail(std::to_string(differing) + " pixels differ from the renderer's frame 40");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return Fail("SIGTERM did not end the program with status 0");
  std::vector<std::uint8_t> after = ReadRoot(s);
  Save(s, out, "after-exit", after);
  if (Differing(s, View(s, after), r.scene->surfaces.snapshot, 0, 0, s.width, s.height) != 0)
    return Fail("the desktop did not come back after the end");
  return 0;
}

int CheckScene(const TestScreen& s, const std::string& out, const std::string& name, bool effect) {
  std::vector<std::uint8_t> shown = ReadRoot(s);
  Save(s, out, name, shown);
  FrameRenderer r;
  if (!StartReference(s, r)) return Fail("the renderer refused the sheet");
  const PixelSurface desktop = r.scene->surfaces.snapshot, screen = View(s, shown);
  const int w = s.width, h = s.height;
  const int all = Differing(s, screen, desktop, 0, 0, w, h);
  if (!effect) return all == 0 ? 0 : Fail(std::to_string(all) + " pixels differ from the desktop");

  // The edges: a band 8 pixels wide, where only a sprite passing by covers the desktop.
  const int band = 8;
  const int edge = Differing(s, screen, desktop, 0, 0, w, band) + Differing(s, screen, desktop, 0, h - band, w, h) +
                   Differing(s, screen, desktop, 0, band, band, h - band) +
                   Differing(s, screen, desktop, w - band, band, w, h - band);
  if (edge > 2 * band * (w + h) / 10) return Fail(std::to_string(edge) + " pixels of the edges differ from the desktop");
  // The pit: its middle much darker than the desktop there.
  const int cx = w / 2, cy = h / 2;
  long shownLight = 0, desktopLight = 0;
  const RgbImage a = SurfacePicture(screen, s.effectDepth, cx - 16, cy - 16, 32, 32);
  const RgbImage b = SurfacePicture(desktop, s.effectDepth, cx - 16, cy - 16, 32, 32);
  for (std::size_t i = 0; i < a.rgb.size(); ++i) shownLight += a.rgb[i], desktopLight += b.rgb[i];
  if (shownLight * 3 > desktopLight) return Fail("no dark pit in the middle");
  // Sprites: away from the edges and the pit, the picture is not the desktop.
  const int away = all - edge - Differing(s, screen, desktop, cx - 48, cy - 48, cx + 48, cy + 48);
  if (away < 300) return Fail("no sprites: only " + std::to_string(away) + " pixels differ from the desktop");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TestScreen s;
  if (argc < 2 || !OpenScreen(s)) return Fail("usage: x11_check desktop|frames|scene|desktop-back ... (on $DISPLAY)");
  const std::string what = argv[1];
  if (s.effectDepth == 32 && s.depth != 24) return Fail("a 16- or 24-bit screen is needed");
  int result = 1;
  if (what == "desktop") {
    PutDesktop(s);
    result = 0;
  } else if (what == "frames" && argc >= 4) {
    result = CheckFrames(s, argv[2], argc - 3, argv + 3);
  } else if ((what == "scene" || what == "desktop-back") && argc == 4) {
    result = CheckScene(s, argv[2], argv[3], what == "scene");
  } else {
    result = Fail("unknown check " + what);
  }
  XCloseDisplay(s.display);
  return result;
}
