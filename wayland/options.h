// options.h - the Wayland program's command line.
//
// The options about the animation are both programs' (unix/options.h); the
// Wayland program adds a picture file for the desktop and, for tests and for
// compositors whose layer shell misbehaves, full-screen windows instead of
// layer surfaces. See main.cpp for the list.
#ifndef GYREWELL_WAYLAND_OPTIONS_H
#define GYREWELL_WAYLAND_OPTIONS_H

#include <cstddef>

#include "unix/options.h"

struct WaylandOptions : SaverOptions {
  const char* desktopFile;  // -desktop FILE: a PNG picture as the desktop; null: none
  bool toplevel;            // -toplevel: full-screen xdg_toplevel windows even where a layer shell is offered
};

// Reads argv[1..argc-1]. On success answers true with every option not given
// at its default; otherwise answers false with one line saying what is wrong
// in error (size bytes, always terminated).
bool ParseWaylandOptions(int argc, const char* const* argv, WaylandOptions& options, char* error, std::size_t size);

// The usage text printed by -help and after a bad option.
extern const char WaylandUsageText[];

#endif
