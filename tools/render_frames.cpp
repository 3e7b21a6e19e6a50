// render_frames - renders the saver's animation without Windows, to PNG files.
//
//   render_frames [options] OUTDIR
//     --depth 16|24|32        display depth (default 32)
//     --size WxH              screen size (default 1280x800)
//     --count N               SpriteCount, 20..200 as in the settings (default 100)
//     --mode 1|2              BackdropMode: 1 desktop with the pit, 2 black (default 1)
//     --preview WxH           draw as the Display control panel's preview of that client size
//     --scale N               display scaling: draw N times larger (2 on a 200 % display); the
//                             screen and preview sizes are the display's own pixels
//     --monitor WxH+X+Y[@DPI] one monitor of several, at that place on the virtual screen and that
//                             DPI (default 96); repeat for each, the primary first. The window
//                             is their bounding box and the desktop picture covers it
//     --seed N                the generator's seed (the saver uses the tick count; default 1)
//     --frames N              frames to run (default 60)
//     --every K               write every K-th frame (default: only the last)
//     --desktop FILE.png      desktop picture (default: coloured quadrants with a grid)
//     --sheet FILE.bmp        sprite sheet (default: resources/sheet.bmp of this tree)
//
// Writes OUTDIR/frame_NNNN.png, numbered from 1 (the first frame composed).
// An animated picture: convert -delay 3 OUTDIR/frame_*.png anim.gif
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "frame_renderer.h"
#include "png_io.h"

namespace {

bool ParseSize(const char* text, std::int32_t& w, std::int32_t& h) {
  return std::sscanf(text, "%dx%d", &w, &h) == 2 && w >= 32 && h >= 32 && w <= 10000 && h <= 10000;
}

bool ParseMonitor(const char* text, Monitor& m) {
  int w = 0, h = 0, x = 0, y = 0, dpi = 96, end = 0;
  const int read = std::sscanf(text, "%dx%d%d%d%n@%d", &w, &h, &x, &y, &end, &dpi);
  if (read < 4 || (read == 4 && text[end] != '\0') || w < 32 || h < 32 || w > 10000 || h > 10000 ||
      x < -10000 || x > 10000 || y < -10000 || y > 10000 || dpi < 96 || dpi > 96 * 8) {
    return false;
  }
  m = Monitor{x, y, x + w, y + h, dpi, false};
  return true;
}

int Usage() {
  std::fprintf(stderr, "usage: render_frames [--depth D] [--size WxH] [--count N] [--mode M] [--preview WxH]\n"
                       "                     [--scale N] [--monitor WxH+X+Y[@DPI]]... [--seed N] [--frames N]\n"
                       "                     [--every K] [--desktop F.png]\n"
                       "                     [--sheet F.bmp] OUTDIR\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  RenderSetup setup;
  int frames = 60, every = 0;
  std::string desktopPath, sheetPath = std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp", out;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg.rfind("--", 0) == 0 && value == nullptr) return Usage();
    if (arg == "--depth") setup.depth = std::atoi(argv[++i]);
    else if (arg == "--size") { if (!ParseSize(argv[++i], setup.screenWidth, setup.screenHeight)) return Usage(); }
    else if (arg == "--count") setup.spriteCount = std::atoi(argv[++i]);
    else if (arg == "--mode") setup.backdropMode = std::atoi(argv[++i]);
    else if (arg == "--preview") {
      setup.previewFlag = 1;
      if (!ParseSize(argv[++i], setup.previewWidth, setup.previewHeight)) return Usage();
    }
    else if (arg == "--scale") setup.scale = std::atoi(argv[++i]);
    else if (arg == "--monitor") {
      Monitor m;
      if (!ParseMonitor(argv[++i], m)) return Usage();
      setup.monitors.push_back(m);
    }
    else if (arg == "--seed") setup.seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    else if (arg == "--frames") frames = std::atoi(argv[++i]);
    else if (arg == "--every") every = std::atoi(argv[++i]);
    else if (arg == "--desktop") desktopPath = argv[++i];
    else if (arg == "--sheet") sheetPath = argv[++i];
    else if (arg.rfind("--", 0) == 0) return Usage();
    else out = arg;
  }
  if (out.empty() || frames < 1 || (setup.depth != 16 && setup.depth != 24 && setup.depth != 32) || setup.scale < 1 ||
      setup.scale > 8) {
    return Usage();
  }
  if (setup.spriteCount < 20 || setup.spriteCount > 200) setup.spriteCount = 100;  // as the settings rules do

  if (!setup.monitors.empty() && setup.previewFlag) return Usage();
  std::int32_t left = 0, top = 0, right = setup.screenWidth, bottom = setup.screenHeight;
  for (std::size_t m = 0; m < setup.monitors.size(); ++m) {
    const Monitor& r = setup.monitors[m];
    left = m == 0 ? r.left : std::min(left, r.left);
    top = m == 0 ? r.top : std::min(top, r.top);
    right = m == 0 ? r.right : std::max(right, r.right);
    bottom = m == 0 ? r.bottom : std::max(bottom, r.bottom);
  }
  RgbImage desktop;
  if (desktopPath.empty()) {
    desktop = TestDesktop(right - left, bottom - top);
  } else if (!ReadPng(desktopPath, desktop)) {
    std::fprintf(stderr, "render_frames: cannot read %s\n", desktopPath.c_str());
    return 1;
  }
  FrameRenderer renderer;
  if (!StartRenderer(renderer, setup, ReadFileBytes(sheetPath), desktop)) {
    std::fprintf(stderr, "render_frames: %s is not a sheet the import takes\n", sheetPath.c_str());
    return 1;
  }
  for (int f = 1; f <= frames; ++f) {
    RenderFrame(renderer);
    if (f == frames || (every > 0 && f % every == 0)) {
      char name[64];
      std::snprintf(name, sizeof name, "/frame_%04d.png", f);
      if (!WritePng(out + name, WindowPicture(renderer))) {
        std::fprintf(stderr, "render_frames: cannot write %s%s\n", out.c_str(), name);
        return 1;
      }
    }
  }
  return 0;
}
