// desktop.h - the picture behind the sprites, one per output.
//
// Taken once per output, before its surface appears, so that it shows the
// desktop and not this program's frames; with -backdrop black none is
// taken. With -desktop FILE (PNG) that picture is every output's desktop,
// its top-left corner at the output's; otherwise the compositor copies the
// output's picture through wlr-screencopy (sway, Hyprland, river, niri,
// labwc, Wayfire), the cursor left out; where it offers none, or the copy
// fails, the field is black. A surface that grows later keeps its picture
// (the output shows this program by then): black beyond it.
//
// The copy comes in the compositor's own pixel format (XRGB8888, XBGR8888,
// their alpha forms, the 10-bit ones, RGB565, ... as pixel_layout.h reads
// them), its rows perhaps bottom-up, and in the output's own orientation: on
// an output that is rotated or flipped it is turned as the output turns it,
// so that it lies in the field as the user sees it.
#ifndef GYREWELL_WAYLAND_DESKTOP_H
#define GYREWELL_WAYLAND_DESKTOP_H

#include <cstddef>

#include "wayland/wayland_saver.h"

// Reads the -desktop file, when one is given, into s.filePixels. False, with
// one line in error, when it cannot be read as a PNG picture.
bool ReadDesktopFile(WaylandSaver& s, char* error, std::size_t size);

// Sets o.desktop as above, then shows the field (field.h): at once, or when
// the compositor's copy has come.
void TakeDesktop(WaylandSaver& s, Output& o);

// Ends a copy still in flight and frees the output's picture.
void ReleaseDesktop(Output& o);

#endif
