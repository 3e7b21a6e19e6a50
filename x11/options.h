// options.h - the X11 program's command line.
//
// The options about the animation are both programs' (unix/options.h); the
// X11 program adds where it draws. As in the daemon's own display modes, a
// window id wins over -root and -window wherever it stands: the settings
// program appends it to a command that already says -root. See main.cpp for
// the list.
#ifndef GYREWELL_X11_OPTIONS_H
#define GYREWELL_X11_OPTIONS_H

#include <cstddef>
#include <cstdint>

#include "unix/options.h"

// Where the program draws.
enum DrawTarget {
  TargetDefault,   // no option: $XSCREENSAVER_WINDOW when set, else a window of its own
  TargetOwnWindow, // -window
  TargetRoot,      // -root: $XSCREENSAVER_WINDOW when set (the saver's virtual root), else the root
  TargetWindowId,  // -window-id ID, given anywhere on the command line
};

struct X11Options : SaverOptions {
  DrawTarget target;
  unsigned long windowId;      // -window-id
  const char* displayName;     // -display, or null for $DISPLAY
  bool noShm;                  // for tests: no MIT-SHM
};

// Reads argv[1..argc-1]. On success answers true with every option not given
// at its default; otherwise answers false with one line saying what is wrong
// in error (size bytes, always terminated).
bool ParseOptions(int argc, const char* const* argv, X11Options& options, char* error, std::size_t size);

// The usage text printed by -help and after a bad option.
extern const char UsageText[];

#endif
