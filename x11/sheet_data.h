// sheet_data.h - the sprite sheet (resources/sheet.bmp), built into the
// program as bytes by embed_file.cmake, so that it needs no file at run time.
#ifndef GYREWELL_X11_SHEET_DATA_H
#define GYREWELL_X11_SHEET_DATA_H

#include <cstddef>
#include <cstdint>

extern const std::uint8_t SheetBitmap[];
extern const std::size_t SheetBitmapSize;

#endif
