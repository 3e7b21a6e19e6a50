// png_io.h - 8-bit RGB pictures to and from PNG files (libpng's simplified API),
// for the native tools and the golden-frame tests.
#ifndef GYREWELL_PNG_IO_H
#define GYREWELL_PNG_IO_H

#include <cstdint>
#include <string>
#include <vector>

struct RgbImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> rgb;  // red, green, blue; rows top-down, no padding
};

bool ReadPng(const std::string& path, RgbImage& image);
bool WritePng(const std::string& path, const RgbImage& image);

#endif
