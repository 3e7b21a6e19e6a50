// options.h - the X11 program's command line.
//
// Options follow the display modes of X screen savers: one dash or two
// ("-root" and "--root" are the same; the daemon hands its programs the
// second form), a value as the next argument. See main.cpp for the list.
// As in the daemon's own display modes, a window id wins over -root and
// -window wherever it stands: the settings program appends it to a command
// that already says -root.
#ifndef GYREWELL_X11_OPTIONS_H
#define GYREWELL_X11_OPTIONS_H

#include <cstddef>
#include <cstdint>

// Where the program draws.
enum DrawTarget {
  TargetDefault,   // no option: $XSCREENSAVER_WINDOW when set, else a window of its own
  TargetOwnWindow, // -window
  TargetRoot,      // -root: $XSCREENSAVER_WINDOW when set (the saver's virtual root), else the root
  TargetWindowId,  // -window-id ID, given anywhere on the command line
};

struct X11Options {
  DrawTarget target;
  unsigned long windowId;      // -window-id
  const char* displayName;     // -display, or null for $DISPLAY
  std::int32_t spriteCount;    // -count, 20..200
  std::int32_t backdropMode;   // -backdrop: BackdropDesktop or BackdropBlack
  std::int64_t delayMicroseconds;  // -delay, between one presentation and the next
  std::int32_t scale;          // -scale, 1..8; 0: from the desktop's DPI or the window's size
  bool showFps;                // -fps (-no-fps turns it off again)
  // For tests: a fixed seed, a stop after a number of frames, no MIT-SHM.
  bool seedGiven;
  std::uint32_t seed;
  std::int32_t frameLimit;     // 0: no limit
  bool noShm;
  bool help;
};

// Reads argv[1..argc-1]. On success answers true with every option not given
// at its default; otherwise answers false with one line saying what is wrong
// in error (size bytes, always terminated).
bool ParseOptions(int argc, const char* const* argv, X11Options& options, char* error, std::size_t size);

// The usage text printed by -help and after a bad option.
extern const char UsageText[];

#endif
