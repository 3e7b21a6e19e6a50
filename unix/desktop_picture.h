// desktop_picture.h - a picture of the desktop into the scene's snapshot.
//
// Each program gets the desktop its own way (X: the root window or the
// screen-saver daemon's image helper; Wayland: the compositor's screen copy,
// or a picture file), in the pixels of whoever made it. Laying it into the
// snapshot is the same for all: its top-left corner at (x, y) of the field,
// cut to the field, each pixel converted from its layout (pixel_layout.h) to
// the composition depth. What the picture does not cover stays as it is:
// black, in a snapshot just allocated.
#ifndef GYREWELL_UNIX_DESKTOP_PICTURE_H
#define GYREWELL_UNIX_DESKTOP_PICTURE_H

#include <cstdint>

#include "effect/render/pixel_surface.h"
#include "unix/pixel_layout.h"

struct DesktopPicture {
  const std::uint8_t* pixels;  // the top row's first pixel; null: no picture
  std::int32_t width, height;
  std::int32_t stride;         // bytes from one row to the next (negative: rows bottom-up)
  PixelLayout layout;
  std::int32_t x, y;           // its top-left corner on the field
};

// Lays the picture into the snapshot at depth, within width x height.
void LayDesktopPicture(const DesktopPicture& picture, const PixelSurface& snapshot, std::int32_t depth,
                       std::int32_t width, std::int32_t height);

#endif
