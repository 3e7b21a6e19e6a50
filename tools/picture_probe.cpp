// picture_probe - measures screenshots of the saver for the end-to-end tests.
//
//   picture_probe pit DESKTOP.png CX CY SHOT.png...
//     The pit's width: the run of pixels through the middle that are darker
//     in a SHOT than in DESKTOP by more than an eighth of the desktop's
//     brightness, along the rows CY - 2 .. CY + 2 and the columns CX - 2 ..
//     CX + 2 of every SHOT. Sprites fall towards the middle, so one may lie
//     across a line: a pale one cuts the run short, one with dark pixels at
//     the rim lengthens it. It covers only a few lines of one shot, so the
//     length seen most often (the longer on a tie) is the pit's. Prints
//     "pit_width=N".
//   picture_probe brighter DESKTOP.png SHOT.png
//     The pixels of SHOT brighter than DESKTOP's by more than a third of full
//     white: sprites over a mid-grey desktop (the rabbits are white, the
//     blossoms cream, the carrots orange; the pit and black only darken).
//     Prints "brighter=N".
//   picture_probe squares SHOT.png SIZE
//     Whether the picture is made of SIZE x SIZE squares of one colour, as a
//     picture drawn SIZE times larger from the top-left corner is; and the
//     number of pixels that are not black. Prints
//     "squares=1|0 lit=N first_odd=X,Y" (the first square that is not one
//     colour, or -1,-1).
//   picture_probe same EXPECTED.png SHOT.png
//     The pixels of SHOT that differ from EXPECTED's in any channel, and the
//     first of them (or -1,-1). Prints "differing=N first=X,Y"; pictures of
//     different sizes are a bad command line.
//
// Exit 0 when it measured, 1 when a picture cannot be read, 2 on a bad
// command line.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "png_io.h"

namespace {

int Brightness(const RgbImage& image, std::int32_t x, std::int32_t y) {
  const std::uint8_t* p = &image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
  return p[0] + p[1] + p[2];
}

bool Same(const RgbImage& image, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
  const std::uint8_t* a = &image.rgb[(static_cast<std::size_t>(y0) * image.width + x0) * 3];
  const std::uint8_t* b = &image.rgb[(static_cast<std::size_t>(y1) * image.width + x1) * 3];
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

bool Read(const char* path, RgbImage& image) {
  if (ReadPng(path, image)) return true;
  std::fprintf(stderr, "picture_probe: cannot read %s\n", path);
  return false;
}

// The run of darkened pixels through (x, y), stepping by (dx, dy); 0 when the
// point itself is not darkened.
std::int32_t DarkRun(const RgbImage& desktop, const RgbImage& shot, std::int32_t x, std::int32_t y, std::int32_t dx,
                     std::int32_t dy) {
  auto darkened = [&](std::int32_t px, std::int32_t py) {
    return px >= 0 && py >= 0 && px < shot.width && py < shot.height &&
           Brightness(shot, px, py) * 8 < Brightness(desktop, px, py) * 7;
  };
  if (!darkened(x, y)) return 0;
  std::int32_t run = 1;
  for (std::int32_t i = 1; darkened(x - i * dx, y - i * dy); ++i) ++run;
  for (std::int32_t i = 1; darkened(x + i * dx, y + i * dy); ++i) ++run;
  return run;
}

int Pit(const char* desktopPath, std::int32_t cx, std::int32_t cy, char** shots, int count) {
  RgbImage desktop;
  if (!Read(desktopPath, desktop)) return 1;
  std::map<std::int32_t, int> seen;
  for (int i = 0; i < count; ++i) {
    RgbImage shot;
    if (!Read(shots[i], shot)) return 1;
    if (desktop.width != shot.width || desktop.height != shot.height) {
      std::fprintf(stderr, "picture_probe: %s is not the desktop's size\n", shots[i]);
      return 2;
    }
    for (std::int32_t d = -2; d <= 2; ++d) {
      // 0: a sprite lies on the line's middle point, so the line says nothing.
      const std::int32_t across = DarkRun(desktop, shot, cx, cy + d, 1, 0);
      const std::int32_t down = DarkRun(desktop, shot, cx + d, cy, 0, 1);
      if (across > 0) ++seen[across];
      if (down > 0) ++seen[down];
    }
  }
  std::int32_t width = 0;
  int most = 0;
  for (const auto& [run, times] : seen)
    if (times >= most) width = run, most = times;
  std::printf("pit_width=%d\n", width);
  return 0;
}

int Brighter(const char* desktopPath, const char* shotPath) {
  RgbImage desktop, shot;
  if (!Read(desktopPath, desktop) || !Read(shotPath, shot)) return 1;
  if (desktop.width != shot.width || desktop.height != shot.height) {
    std::fprintf(stderr, "picture_probe: %s is not the desktop's size\n", shotPath);
    return 2;
  }
  long long brighter = 0;
  for (std::int32_t y = 0; y < shot.height; ++y)
    for (std::int32_t x = 0; x < shot.width; ++x) brighter += Brightness(shot, x, y) > Brightness(desktop, x, y) + 255;
  std::printf("brighter=%lld\n", brighter);
  return 0;
}

int Squares(const char* shotPath, std::int32_t size) {
  RgbImage shot;
  if (!Read(shotPath, shot)) return 1;
  long long lit = 0;
  std::int32_t oddX = -1, oddY = -1;
  for (std::int32_t y = 0; y < shot.height; ++y)
    for (std::int32_t x = 0; x < shot.width; ++x) {
      lit += Brightness(shot, x, y) != 0;
      if (oddX < 0 && !Same(shot, x, y, x - x % size, y - y % size)) oddX = x - x % size, oddY = y - y % size;
    }
  std::printf("squares=%d lit=%lld first_odd=%d,%d\n", oddX < 0 ? 1 : 0, lit, oddX, oddY);
  return 0;
}

int SamePicture(const char* expectedPath, const char* shotPath) {
  RgbImage expected, shot;
  if (!Read(expectedPath, expected) || !Read(shotPath, shot)) return 1;
  if (expected.width != shot.width || expected.height != shot.height) {
    std::fprintf(stderr, "picture_probe: %s is %dx%d, %s %dx%d\n", shotPath, shot.width, shot.height, expectedPath,
                 expected.width, expected.height);
    return 2;
  }
  long long differing = 0;
  std::int32_t firstX = -1, firstY = -1;
  for (std::int32_t y = 0; y < shot.height; ++y)
    for (std::int32_t x = 0; x < shot.width; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * shot.width + x) * 3;
      if (shot.rgb[at] == expected.rgb[at] && shot.rgb[at + 1] == expected.rgb[at + 1] &&
          shot.rgb[at + 2] == expected.rgb[at + 2])
        continue;
      if (differing++ == 0) firstX = x, firstY = y;
    }
  std::printf("differing=%lld first=%d,%d\n", differing, firstX, firstY);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "pit" && argc >= 6) return Pit(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argv + 5, argc - 5);
  if (command == "brighter" && argc == 4) return Brighter(argv[2], argv[3]);
  if (command == "squares" && argc == 4 && std::atoi(argv[3]) >= 1) return Squares(argv[2], std::atoi(argv[3]));
  if (command == "same" && argc == 4) return SamePicture(argv[2], argv[3]);
  std::fprintf(stderr, "usage: picture_probe pit DESKTOP.png CX CY SHOT.png... | brighter DESKTOP.png SHOT.png |\n"
                       "                     squares SHOT.png SIZE | same EXPECTED.png SHOT.png\n");
  return 2;
}
