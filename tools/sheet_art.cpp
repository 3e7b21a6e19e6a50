// sheet_art.cpp - draws the sprite sheet; see resource_art.h for what it holds.
#include "resource_art.h"

#include <cmath>
#include <cstring>

namespace {

// Grey levels the palette leaves out to make room for the ten colours.
const std::int32_t MissingGreys[10] = {130, 137, 148, 156, 164, 169, 182, 207, 215, 236};

const std::uint8_t Colours[10][3] = {
    {251, 168, 163},  // pink
    {252, 130, 2},    // orange
    {203, 104, 1},    // dark orange
    {254, 178, 84},   // light orange
    {4, 195, 36},     // green
    {2, 128, 24},     // dark green
    {254, 254, 204},  // petal
    {232, 214, 122},  // petal shade
    {255, 185, 0},    // blossom core
    {255, 214, 83},   // blossom ring
};

bool IsMissingGrey(std::int32_t level) {
  for (std::int32_t m : MissingGreys)
    if (m == level) return true;
  return false;
}

// ---------------------------------------------------------------------------
// Pixel art. One character per pixel:
//   .  outside the sprite (mask 0; the picture there is white)
//   K  black   W  white   P  pink   O  orange   D  dark orange   L  light orange
//   G  green   g  dark green

// Kind 0, the rabbit face: 15 x 19 at (4, 2).
const char* const FaceArt[19] = {
    "..KKK.....KKK..",
    ".KWWWK...KWWWK.",
    ".KWPWK...KWPWK.",
    ".KWPWK...KWPWK.",
    ".KWPWK...KWPWK.",
    ".KWPWK...KWPWK.",
    ".KWPWKKKKKWPWK.",
    "KWWPWWWWWWWPWWK",
    "KWWWWWWWWWWWWWK",
    "KWWWWWWWWWWWWWK",
    "KWWWKWWWWWKWWWK",
    "KWWWKWWWWWKWWWK",
    "KWWWWWWWWWWWWWK",
    "KWWWWWWPWWWWWWK",
    ".KWWWWWKWWWWWK.",
    ".KWWWWKWKWWWWK.",
    "..KWWWWWWWWWK..",
    "...KKWWWWWKK...",
    ".....KKKKK.....",
};

// Kind 4, the carrot: 9 x 21 at (7, 2).
const char* const CarrotArt[21] = {
    ".KK.K.KK.",
    "KGGKGKGGK",
    "KGgGGGgGK",
    ".KGgGgGK.",
    "..KGgGK..",
    "...KgK...",
    ".KKKgKKK.",
    "KLOOOOOOK",
    "KLOOOOOOK",
    "KLODDOOOK",
    "KLOOOOOOK",
    ".KLOOOOK.",
    ".KLOODDK.",
    ".KLOOOOK.",
    "..KLOOK..",
    "..KLOOK..",
    "...KOK...",
    "...KOK...",
    "...KOK...",
    "....K....",
    "....K....",
};

std::uint8_t ArtIndex(char c) {
  switch (c) {
    case 'K': return 0;
    case 'P': return ColourPink;
    case 'O': return ColourOrange;
    case 'D': return ColourOrangeDark;
    case 'L': return ColourOrangeLight;
    case 'G': return ColourGreen;
    case 'g': return ColourGreenDark;
    default: return SheetGreyCount - 1;  // white, also under '.'
  }
}

// Paints one pixel-art sprite: its picture in cell (24 kind, 0) on white and
// its level-0 mask (0 or 255) in the mask grid; rows * columns from (x0, y0).
void PaintArt(SheetPicture* sheet, std::int32_t kind, const char* const* art, std::int32_t rows,
              std::int32_t x0, std::int32_t y0, std::uint8_t mask[SheetCell][SheetCell]) {
  for (std::int32_t y = 0; y < SheetCell; ++y)
    for (std::int32_t x = 0; x < SheetCell; ++x) sheet->index[y][SheetCell * kind + x] = SheetGreyCount - 1;
  for (std::int32_t r = 0; r < rows; ++r) {
    const std::int32_t columns = static_cast<std::int32_t>(std::strlen(art[r]));
    for (std::int32_t c = 0; c < columns; ++c) {
      const char ch = art[r][c];
      if (ch == '.') continue;
      sheet->index[y0 + r][SheetCell * kind + x0 + c] = ArtIndex(ch);
      mask[y0 + r][x0 + c] = 255;
    }
  }
}

// ---------------------------------------------------------------------------
// Soft shapes: unions of ellipses, each possibly tilted, covered by a 16 x 16
// grid of samples per pixel. A pixel (x, y) spans [x, x + 1) x [y, y + 1).

struct Ellipse {
  double cx, cy;  // centre
  double rx, ry;  // half-axes: across, and along the direction (ux, uy)
  double ux, uy;  // direction of the long axis (need not be normalised); (0, 1) upright
};

bool InsideEllipse(const Ellipse& e, double px, double py) {
  const double n = std::sqrt(e.ux * e.ux + e.uy * e.uy);
  const double ux = e.ux / n, uy = e.uy / n;
  const double dx = px - e.cx, dy = py - e.cy;
  const double along = dx * ux + dy * uy;
  const double across = dx * uy - dy * ux;
  return (across * across) / (e.rx * e.rx) + (along * along) / (e.ry * e.ry) <= 1.0;
}

// Anti-aliased mask of a union of ellipses, values 0..255.
void PaintSoft(const Ellipse* shapes, std::int32_t count, std::uint8_t mask[SheetCell][SheetCell]) {
  const std::int32_t Samples = 16;
  for (std::int32_t y = 0; y < SheetCell; ++y) {
    for (std::int32_t x = 0; x < SheetCell; ++x) {
      std::int32_t inside = 0;
      for (std::int32_t sy = 0; sy < Samples; ++sy) {
        for (std::int32_t sx = 0; sx < Samples; ++sx) {
          const double px = x + (2 * sx + 1) / (2.0 * Samples);
          const double py = y + (2 * sy + 1) / (2.0 * Samples);
          for (std::int32_t i = 0; i < count; ++i) {
            if (InsideEllipse(shapes[i], px, py)) {
              ++inside;
              break;
            }
          }
        }
      }
      mask[y][x] = static_cast<std::uint8_t>((inside * 255 + Samples * Samples / 2) / (Samples * Samples));
    }
  }
}

// Kinds 1..3: a head (skull over round cheeks) with two ears leaning outward.
// Each is symmetric about x = 12, the line between columns 11 and 12.
const Ellipse LargeHead[] = {
    {12.0, 17.5, 7.2, 6.0, 0, 1},    // skull
    {12.0, 19.4, 9.0, 4.6, 0, 1},    // cheeks
    {8.6, 8.2, 2.5, 7.2, 0.22, 1},   // left ear
    {15.4, 8.2, 2.5, 7.2, -0.22, 1},  // right ear
};
const Ellipse MediumHead[] = {
    {12.0, 15.0, 4.8, 4.3, 0, 1},
    {12.0, 16.7, 6.0, 3.3, 0, 1},
    {9.9, 8.9, 1.7, 4.9, 0.22, 1},
    {14.1, 8.9, 1.7, 4.9, -0.22, 1},
};
const Ellipse SmallHead[] = {
    {12.0, 13.2, 3.4, 2.8, 0, 1},
    {12.0, 14.0, 4.0, 2.0, 0, 1},
    {10.5, 10.4, 1.05, 2.4, 0.3, 1},
    {13.5, 10.4, 1.05, 2.4, -0.3, 1},
};
const Ellipse Blossom[] = {
    {12.0, 12.0, 6.0, 6.0, 0, 1},
};

// Kind 5's picture: five round petals, parted by thin lines of a deeper
// ground that also shows in the notches at the rim, a 4 x 4 core at (10..13,
// 10..13) and a ring round it.
void PaintBlossom(SheetPicture* sheet) {
  const std::int32_t x0 = SheetCell * 5;
  // Ten directions 36 degrees apart, the first straight up, as unit vectors:
  // even ones point at the petals' centres, odd ones along the partings.
  const double dirs[10][2] = {
      {0.0, -1.0},         {0.5877852523, -0.8090169944}, {0.9510565163, -0.3090169944},
      {0.9510565163, 0.3090169944},   {0.5877852523, 0.8090169944},  {0.0, 1.0},
      {-0.5877852523, 0.8090169944}, {-0.9510565163, 0.3090169944}, {-0.9510565163, -0.3090169944},
      {-0.5877852523, -0.8090169944}};
  for (std::int32_t y = 0; y < SheetCell; ++y) {
    for (std::int32_t x = 0; x < SheetCell; ++x) {
      const double px = x + 0.5 - 12.0, py = y + 0.5 - 12.0;
      bool petal = false;
      for (std::int32_t i = 0; i < 10; i += 2) {
        const double dx = px - 3.5 * dirs[i][0], dy = py - 3.5 * dirs[i][1];
        if (dx * dx + dy * dy <= 2.7 * 2.7) petal = true;
      }
      for (std::int32_t i = 1; i < 10; i += 2) {
        const double along = px * dirs[i][0] + py * dirs[i][1];
        const double across = px * dirs[i][1] - py * dirs[i][0];
        if (along > 3.6 && across > -0.55 && across < 0.55) petal = false;
      }
      // Beyond the disc the mask hides the picture; the field stays pale.
      if (px * px + py * py > 6.5 * 6.5) petal = true;
      sheet->index[y][x0 + x] = petal ? ColourPetal : ColourPetalShade;
    }
  }
  for (std::int32_t y = 9; y <= 14; ++y) {
    for (std::int32_t x = 9; x <= 14; ++x) {
      const bool corner = (x == 9 || x == 14) && (y == 9 || y == 14);
      if (!corner) sheet->index[y][x0 + x] = ColourBlossomRing;
    }
  }
  for (std::int32_t y = 10; y <= 13; ++y)
    for (std::int32_t x = 10; x <= 13; ++x) sheet->index[y][x0 + x] = ColourBlossomCore;
}

// The pit's profile at whole distances 0..41.
const std::int32_t PitTable[42] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                   254, 253, 251, 249, 245, 240, 232, 223, 211, 197, 181, 163, 144, 125,
                                   105, 86,  69,  53,  40,  29,  20,  13,  8,   5,   3,   1,   1,   0};

}  // namespace

void SheetPalette(std::uint8_t palette[256][3]) {
  std::int32_t n = 0;
  for (std::int32_t level = 0; level < 256; ++level) {
    if (IsMissingGrey(level)) continue;
    palette[n][0] = palette[n][1] = palette[n][2] = static_cast<std::uint8_t>(level);
    ++n;
  }
  for (std::int32_t i = 0; i < 10; ++i, ++n)
    for (std::int32_t c = 0; c < 3; ++c) palette[n][c] = Colours[i][c];
}

std::int32_t NearestSheetGrey(std::int32_t level) {
  if (level < 0) return 0;
  if (level > 255) return 255;
  return IsMissingGrey(level) ? level - 1 : level;
}

std::uint8_t SheetGreyIndex(std::int32_t level) {
  const std::int32_t grey = NearestSheetGrey(level);
  std::int32_t below = 0;
  for (std::int32_t m : MissingGreys)
    if (m < grey) ++below;
  return static_cast<std::uint8_t>(grey - below);
}

std::int32_t FadeRule(std::int32_t m0, std::int32_t level) {
  if (level >= SheetLevels - 1) return 0;
  return (m0 * (10 - level) + 5) / 10;
}

std::int32_t PitProfile(double d) {
  if (!(d < 41.0)) return 0;
  if (d < 0) d = 0;
  const std::int32_t i = static_cast<std::int32_t>(d);
  const double f = d - i;
  const double v = PitTable[i] + (PitTable[i + 1] - PitTable[i]) * f;
  return static_cast<std::int32_t>(v + 0.5);
}

void DrawSheet(SheetPicture* sheet) {
  SheetPalette(sheet->palette);
  std::memset(sheet->index, 0, sizeof sheet->index);

  std::uint8_t masks[SheetKinds][SheetCell][SheetCell];
  std::memset(masks, 0, sizeof masks);

  PaintArt(sheet, 0, FaceArt, 19, 4, 2, masks[0]);
  for (std::int32_t kind = 1; kind <= 3; ++kind)
    for (std::int32_t y = 0; y < SheetCell; ++y)
      for (std::int32_t x = 0; x < SheetCell; ++x) sheet->index[y][SheetCell * kind + x] = SheetGreyCount - 1;
  PaintSoft(LargeHead, 4, masks[1]);
  PaintSoft(MediumHead, 4, masks[2]);
  PaintSoft(SmallHead, 4, masks[3]);
  PaintArt(sheet, 4, CarrotArt, 21, 7, 2, masks[4]);
  PaintBlossom(sheet);
  PaintSoft(Blossom, 1, masks[5]);

  // Level 0 is stored through the palette too, and the fade levels follow
  // from what is stored, so every level obeys the rule against level 0.
  for (std::int32_t kind = 0; kind < SheetKinds; ++kind) {
    for (std::int32_t y = 0; y < SheetCell; ++y) {
      for (std::int32_t x = 0; x < SheetCell; ++x) {
        const std::int32_t m0 = NearestSheetGrey(masks[kind][y][x]);
        for (std::int32_t level = 0; level < SheetLevels; ++level)
          sheet->index[SheetCell * (level + 1) + y][SheetCell * kind + x] = SheetGreyIndex(FadeRule(m0, level));
      }
    }
  }

  // Pit mask at (96, 288), centred on its pixel (47, 47).
  for (std::int32_t y = 0; y < PitCell; ++y) {
    for (std::int32_t x = 0; x < PitCell; ++x) {
      const double dx = x - 47, dy = y - 47;
      sheet->index[288 + y][96 + x] = SheetGreyIndex(PitProfile(std::sqrt(dx * dx + dy * dy)));
    }
  }
}

void EncodeSheetBitmap(const SheetPicture& sheet, std::uint8_t* out) {
  std::memset(out, 0, SheetPixelOffset);
  auto put32 = [out](std::int32_t at, std::uint32_t v) {
    for (std::int32_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, SheetFileSize);
  put32(10, SheetPixelOffset);
  put32(14, 40);
  put32(18, SheetWidth);
  put32(22, SheetHeight);
  out[26] = 1;  // planes
  out[28] = 8;  // bits per pixel
  put32(34, SheetWidth * SheetHeight);
  for (std::int32_t i = 0; i < 256; ++i) {
    out[SheetPaletteOffset + 4 * i + 0] = sheet.palette[i][2];
    out[SheetPaletteOffset + 4 * i + 1] = sheet.palette[i][1];
    out[SheetPaletteOffset + 4 * i + 2] = sheet.palette[i][0];
  }
  for (std::int32_t row = 0; row < SheetHeight; ++row)
    std::memcpy(out + SheetPixelOffset + row * SheetWidth, sheet.index[SheetHeight - 1 - row], SheetWidth);
}
