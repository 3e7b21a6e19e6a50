// scale.h - how many screen pixels one pixel of the scene takes on X and on
// Wayland.
//
// Both programs turn what the desktop says of its scale into a DPI and go
// through the Windows saver's ScaleForDpi rule. X has no system-wide display
// scale: what a desktop at 200 % sets is the Xft.dpi resource (GNOME, KDE
// and Xfce all put it in the server's resource database). A Wayland output
// has a scale of its own, 96 DPI per step (a fractional 1.5 is 144 DPI, so it
// draws at its whole part, 1). Without a DPI, the convention of the
// screen-saver daemon's own display modes holds: a window wider or taller
// than 2560 pixels draws at 2. -scale N overrides both.
//
// A window too small to be a screen at the DPI's scale (a settings program's
// preview pane, a window of its own at its first size) stays at 1: the
// animation is laid out for screens, and a field of a few hundred pixels
// with sprites twice as large would be crowded.
//
// Plain integers only; no Xlib here.
#ifndef GYREWELL_UNIX_SCALE_H
#define GYREWELL_UNIX_SCALE_H

#include <cstdint>

// Below this field, in the scene's own pixels at the DPI's scale, a window
// is drawn at 1 (the -scale option is obeyed whatever the size).
constexpr std::int32_t SmallestScaledWidth = 640;
constexpr std::int32_t SmallestScaledHeight = 360;
// The largest scale drawn at, as for -scale: an absurd Xft.dpi must not ask
// for a sheet enlarged beyond all memory.
constexpr std::int32_t LargestScale = 8;

// optionScale: -scale, 0 when not given. dpi: the desktop's (Xft.dpi, or the
// Wayland output's scale times 96), 0 when it says none. width x height: the
// window's size.
std::int32_t ChooseScale(std::int32_t optionScale, std::int32_t dpi, std::int32_t width, std::int32_t height);

// An Xft.dpi value as the resource holds it ("192", "144.5", " 96 "): its whole
// part, or 0 when it is not a positive number.
std::int32_t ReadDpi(const char* text);

#endif
