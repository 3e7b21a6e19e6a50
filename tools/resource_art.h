// resource_art.h - the program's artwork and sound, drawn by code.
//
// Everything Gyrewell.scr carries besides code is made here, so that it can be
// regenerated, reviewed and tested: the sprite sheet (resource "DATA001"), the
// icon ("ICON1") and the short sound ("WAVE01"). make_resources writes the three
// files into resources/, where the resource script picks them up; the unit tests
// build them again and compare byte for byte.
//
// THE SHEET
//   A 288 x 384 picture, 256 colours, stored as a plain BMP file image of 111670
//   bytes: 14-byte file header, 40-byte info header, 1024-byte palette, then one
//   index per pixel, bottom row first (288 bytes a row, no padding needed).
//
//   Palette: entries 0..245 are the greys 0..255 in ascending order without the
//   ten levels 130 137 148 156 164 169 182 207 215 236; entries 246..255 are the
//   colours of the pictures (SheetColour below). Black is entry 0, white 245.
//
//   Layout (picture coordinates, y down; all sprite cells 24 x 24):
//     (24k, 0)            picture of kind k = 0..5
//     (24k, 24(L + 1))    mask of kind k at fade level L = 0..9
//     (0, 264)            sprite scratch, black
//     (0, 288)            pit picture, 96 x 96, black
//     (96, 288)           pit mask, 96 x 96, soft grey disc
//     (192, 288)          pit scratch, 96 x 96, black
//   Everything else is black.
//
//   Kinds: 0 rabbit face (pixel art, hard mask), 1..3 white rabbit heads large,
//   medium, small (plain white pictures, anti-aliased masks), 4 carrot (pixel
//   art, hard mask), 5 pale blossom (soft round mask).
//
//   Masks are greys. Level 0 is the drawn shape; level L = 1..8 is
//   round(level0 * (10 - L) / 10) with halves rounded up, level 9 is 0. Every
//   mask value is then stored as the nearest grey the palette has; the missing
//   levels sit exactly between two present ones, and the tie goes to the darker
//   one, so a stored mask is never more opaque than its rule.
//
//   The pit mask follows a fixed radial profile (PitProfile) around the cell's
//   pixel (47, 47), taken at the true distance and linearly interpolated
//   between whole pixels; it is 0 from 41 pixels out.
//
// THE ICON
//   An .ico file with one 32 x 32, 8-bit image (the sheet's palette): a rabbit
//   face with a one-pixel outline, transparent around it.
//
// THE SOUND
//   A RIFF/WAVE file, 8-bit unsigned mono PCM at 11025 samples a second: a short
//   rising "hop" chirp with a fading tail. Nothing in the program plays it.
//
// All drawing uses integer or exactly-rounded floating arithmetic (no
// transcendental functions), so the bytes are the same on every machine.
#ifndef GYREWELL_RESOURCE_ART_H
#define GYREWELL_RESOURCE_ART_H

#include <cstddef>
#include <cstdint>

enum : std::int32_t {
  SheetWidth = 288,
  SheetHeight = 384,
  SheetCell = 24,
  SheetKinds = 6,
  SheetLevels = 10,
  PitCell = 96,
  SheetPaletteOffset = 54,
  SheetPixelOffset = 1078,
  SheetFileSize = 1078 + 288 * 384,  // 111670
  SheetGreyCount = 246,
};

// Palette entries above the greys, in this order (red, green, blue).
enum SheetColour : std::uint8_t {
  ColourPink = 246,         // inner ears, nose          251 168 163
  ColourOrange = 247,       // carrot body               252 130   2
  ColourOrangeDark = 248,   // carrot marks              203 104   1
  ColourOrangeLight = 249,  // carrot highlight          254 178  84
  ColourGreen = 250,        // carrot leaves               4 195  36
  ColourGreenDark = 251,    // leaf shade                  2 128  24
  ColourPetal = 252,        // blossom field             254 254 204
  ColourPetalShade = 253,   // lines between petals      232 214 122
  ColourBlossomCore = 254,  // blossom centre            255 185   0
  ColourBlossomRing = 255,  // ring round the centre     255 214  83
};

struct SheetPicture {
  std::uint8_t palette[256][3];                 // red, green, blue
  std::uint8_t index[SheetHeight][SheetWidth];  // top row first
};

// The 256-entry palette as red, green, blue.
void SheetPalette(std::uint8_t palette[256][3]);

// Grey level of the palette's grey entry nearest to level (0..255), ties to the
// darker one; and that entry's index.
std::int32_t NearestSheetGrey(std::int32_t level);
std::uint8_t SheetGreyIndex(std::int32_t level);

// The fade rule before the palette: level L of a mask value m0.
std::int32_t FadeRule(std::int32_t m0, std::int32_t level);

// Pit mask value before the palette at distance d (pixels) from the centre.
std::int32_t PitProfile(double d);

// Draws the whole sheet.
void DrawSheet(SheetPicture* sheet);

// The sheet as a BMP file image; out must hold SheetFileSize bytes.
void EncodeSheetBitmap(const SheetPicture& sheet, std::uint8_t* out);

// Sizes of the icon and sound files.
enum : std::int32_t {
  IconFileSize = 6 + 16 + 40 + 1024 + 32 * 32 + 32 * 4,  // 2238
  WaveSampleRate = 11025,
  WaveSamples = 3308,                                      // 0.3 s
  WaveFileSize = 44 + WaveSamples,
};

// The icon as an .ico file image; out must hold IconFileSize bytes.
void BuildIconFile(std::uint8_t* out);

// The sound as a .wav file image; out must hold WaveFileSize bytes.
void BuildWaveFile(std::uint8_t* out);

#endif
