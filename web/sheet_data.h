// sheet_data.h - the sprite sheet (resources/sheet.bmp), built into the
// module as bytes by cmake/embed_file.cmake, so that the page loads one file.
#ifndef GYREWELL_WEB_SHEET_DATA_H
#define GYREWELL_WEB_SHEET_DATA_H

#include <cstddef>
#include <cstdint>

extern const std::uint8_t SheetBitmap[];
extern const std::size_t SheetBitmapSize;

#endif
