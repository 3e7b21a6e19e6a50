// x11_window.h - the window the program draws on, and what happens to it.
//
// Which window: -window-id ID; with -root the saver's virtual root, that is
// the window in $XSCREENSAVER_WINDOW when the screen-saver daemon runs the
// program, else the root window itself; -window a window of its own; with no
// option $XSCREENSAVER_WINDOW when it is set, else a window of its own (the
// daemon names its window only in the environment).
#ifndef GYREWELL_X11_WINDOW_H
#define GYREWELL_X11_WINDOW_H

#include <cstddef>
#include <cstdint>

#include "x11/x11_saver.h"

// Opens the display, reads the desktop's Xft.dpi, settles on the window and
// reads its visual, pixel layout and size; a window of its own is created
// (on a TrueColor visual of the server's where the default is not one) but
// not yet shown. False, with one line in error, when there is no display, no
// such window or no visual the effect draws at.
bool OpenWindow(X11Saver& s, char* error, std::size_t size);

// Maps a window of its own and waits until the server shows it (and reads
// the size it got). False when a stop signal came first.
bool ShowOwnWindow(X11Saver& s);

// Takes every queued event: exposures, size changes, the window's end.
void HandleEvents(X11Saver& s);

// The window's top-left corner on the root window.
void WindowOrigin(const X11Saver& s, std::int32_t& x, std::int32_t& y);

// Gives back what OpenWindow made and closes the display. The root window is
// cleared, so its own background comes back; a window of its own is destroyed.
void CloseWindow(X11Saver& s);

// How many X errors have been reported so far: a request whose failure matters
// (the MIT-SHM attach) compares the count before and after a round trip.
std::uint32_t ErrorsSoFar();

#endif
