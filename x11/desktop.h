// desktop.h - the picture the sprites fall over.
//
// Run by the screen-saver daemon (the window came from $XSCREENSAVER_WINDOW),
// the screen is already blanked, so the desktop comes from the daemon's image
// helper, xscreensaver-getimage: it paints the image the daemon offers to its
// display modes (a copy of the desktop taken before blanking) onto a pixmap of
// the window's size, which is then read back. It names what it painted in the
// window's _SCREENSAVER_IMAGE_FILENAME property; when that stays unset it
// painted only test bars (desktop images turned off), and the field is black.
//
// Run any other way, the part of the root window under the window is read
// before anything is drawn: the screen as it is, under a window of its own
// before it is shown.
//
// Either way, when no picture can be had the backdrop is black (so too on a
// daemon's window whose depth is not the root's, where the helper cannot
// work), and with -backdrop black none is taken.
#ifndef GYREWELL_X11_DESKTOP_H
#define GYREWELL_X11_DESKTOP_H

#include "unix/desktop_picture.h"
#include "x11/x11_saver.h"

// Sets s.desktop (or leaves it null) as above. Gives up waiting for the helper
// when a stop signal arrives.
void TakeDesktop(X11Saver& s);

// After the window's size changed. The helper paints a picture of the
// window's size, so it is asked again for the new one. A picture read from the
// root is kept (the root under the window now shows this program's frames,
// not the desktop): a window grown beyond it shows black there.
void TakeDesktopAgain(X11Saver& s);

// The desktop picture as the scene takes it: its pixels in s.desktopPixels'
// layout, its corner where it lay in the window (no pixels: none taken).
DesktopPicture TakenDesktop(const X11Saver& s);

void ReleaseDesktop(X11Saver& s);

#endif
