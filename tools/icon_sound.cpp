// icon_sound.cpp - the icon and the sound; see resource_art.h.
#include "resource_art.h"

#include <cmath>
#include <cstring>

namespace {

void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (std::int32_t i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool InEllipse(double px, double py, double cx, double cy, double rx, double ry, double lean) {
  // lean tilts the long (vertical) axis: x shifts by lean per pixel upward.
  const double dy = py - cy;
  const double dx = px - cx + lean * dy;
  return (dx * dx) / (rx * rx) + (dy * dy) / (ry * ry) <= 1.0;
}

// The icon's rabbit face at 32 x 32, symmetric about x = 16. Sampled at pixel
// centres, so the edge is hard: the AND mask of an icon has no partial pixels.
bool InFace(double px, double py) {
  return InEllipse(px, py, 16.0, 22.0, 12.6, 9.2, 0) || InEllipse(px, py, 10.6, 9.6, 3.7, 8.9, 0.16) ||
         InEllipse(px, py, 21.4, 9.6, 3.7, 8.9, -0.16);
}

bool InInnerEar(double px, double py) {
  return InEllipse(px, py, 10.8, 9.8, 1.5, 6.3, 0.16) || InEllipse(px, py, 21.2, 9.8, 1.5, 6.3, -0.16);
}

}  // namespace

void BuildIconFile(std::uint8_t* out) {
  const std::int32_t Size = 32;
  std::uint8_t pixel[Size][Size];  // top row first
  bool opaque[Size][Size];
  for (std::int32_t y = 0; y < Size; ++y)
    for (std::int32_t x = 0; x < Size; ++x) opaque[y][x] = InFace(x + 0.5, y + 0.5);

  const std::uint8_t white = SheetGreyIndex(255);
  for (std::int32_t y = 0; y < Size; ++y) {
    for (std::int32_t x = 0; x < Size; ++x) {
      if (!opaque[y][x]) {
        pixel[y][x] = 0;
        continue;
      }
      const bool edge = x == 0 || y == 0 || x == Size - 1 || y == Size - 1 || !opaque[y][x - 1] ||
                        !opaque[y][x + 1] || !opaque[y - 1][x] || !opaque[y + 1][x];
      if (edge)
        pixel[y][x] = 0;
      else if (InInnerEar(x + 0.5, y + 0.5))
        pixel[y][x] = ColourPink;
      else
        pixel[y][x] = white;
    }
  }
  // Face details, mirrored about the middle: eyes with a glint, cheeks, nose
  // and a mouth below it.
  struct Dot {
    std::int32_t x, y;
    std::uint8_t index;
  };
  const Dot details[] = {
      {10, 19, 0}, {11, 19, 0}, {10, 20, 0}, {11, 20, 0}, {10, 21, 0}, {11, 21, 0}, {11, 19, white},
      {8, 24, ColourPink}, {9, 24, ColourPink},
      {15, 23, ColourPink}, {15, 24, 0}, {14, 25, 0}, {13, 25, 0},
  };
  for (const Dot& d : details) {
    pixel[d.y][d.x] = d.index;
    pixel[d.y][Size - 1 - d.x] = d.index;
  }
  // The glint sits on the same side of both eyes, as light from one window.
  pixel[19][Size - 1 - 11] = 0;
  pixel[19][Size - 1 - 10] = white;

  const std::int32_t imageBytes = 40 + 1024 + Size * Size + Size * 4;
  std::memset(out, 0, IconFileSize);
  Put16(out + 2, 1);  // type: icon
  Put16(out + 4, 1);  // one image
  std::uint8_t* entry = out + 6;
  entry[0] = Size;
  entry[1] = Size;
  entry[2] = 0;  // 256 colours
  Put16(entry + 4, 1);
  Put16(entry + 6, 8);
  Put32(entry + 8, imageBytes);
  Put32(entry + 12, 22);

  std::uint8_t* header = out + 22;
  Put32(header, 40);
  Put32(header + 4, Size);
  Put32(header + 8, 2 * Size);  // colour rows and mask rows together
  Put16(header + 12, 1);
  Put16(header + 14, 8);
  Put32(header + 20, Size * Size + Size * 4);

  std::uint8_t palette[256][3];
  SheetPalette(palette);
  std::uint8_t* quads = header + 40;
  for (std::int32_t i = 0; i < 256; ++i) {
    quads[4 * i + 0] = palette[i][2];
    quads[4 * i + 1] = palette[i][1];
    quads[4 * i + 2] = palette[i][0];
  }
  std::uint8_t* colour = quads + 1024;
  std::uint8_t* mask = colour + Size * Size;
  for (std::int32_t row = 0; row < Size; ++row) {
    const std::int32_t y = Size - 1 - row;  // bottom row first
    std::memcpy(colour + row * Size, pixel[y], Size);
    for (std::int32_t x = 0; x < Size; ++x)
      if (!opaque[y][x]) mask[row * 4 + x / 8] = static_cast<std::uint8_t>(mask[row * 4 + x / 8] | (0x80 >> (x % 8)));
  }
}

void BuildWaveFile(std::uint8_t* out) {
  std::memcpy(out, "RIFF", 4);
  Put32(out + 4, WaveFileSize - 8);
  std::memcpy(out + 8, "WAVEfmt ", 8);
  Put32(out + 16, 16);
  Put16(out + 20, 1);  // PCM
  Put16(out + 22, 1);  // mono
  Put32(out + 24, WaveSampleRate);
  Put32(out + 28, WaveSampleRate);  // bytes a second
  Put16(out + 32, 1);               // bytes a sample frame
  Put16(out + 34, 8);
  std::memcpy(out + 36, "data", 4);
  Put32(out + 40, WaveSamples);

  // A hop: the pitch springs from 330 Hz up to 1230 Hz in the first 0.15 s and
  // stays there while the sound dies away. The tone is a parabolic sine, which
  // is soft to the ear and needs no library function.
  const double rise = 0.15 * WaveSampleRate;
  double phase = 0;  // in turns
  for (std::int32_t n = 0; n < WaveSamples; ++n) {
    double u = n / rise;
    if (u > 1) u = 1;
    const double frequency = 330.0 + 900.0 * u * (2.0 - u);
    phase += frequency / WaveSampleRate;
    phase -= static_cast<std::int32_t>(phase);
    const double wave = phase < 0.5 ? 16.0 * phase * (0.5 - phase) : -16.0 * (phase - 0.5) * (1.0 - phase);
    const double attack = n < 55 ? n / 55.0 : 1.0;
    const double left = 1.0 - static_cast<double>(n) / WaveSamples;
    const double level = 100.0 * attack * left * left * wave;
    out[44 + n] = static_cast<std::uint8_t>(128 + static_cast<std::int32_t>(std::floor(level + 0.5)));
  }
}
