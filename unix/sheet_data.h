// sheet_data.h - the sprite sheet (resources/sheet.bmp), built into the
// programs as bytes by cmake/embed_file.cmake, so that they need no file at
// run time.
#ifndef GYREWELL_UNIX_SHEET_DATA_H
#define GYREWELL_UNIX_SHEET_DATA_H

#include <cstddef>
#include <cstdint>

extern const std::uint8_t SheetBitmap[];
extern const std::size_t SheetBitmapSize;

#endif
