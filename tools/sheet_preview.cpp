// sheet_preview - the sprite sheet enlarged, as a PNG for people to look at.
//
//   sheet_preview <sheet.bmp> <out.png> [scale]
//
// Reads the 8-bit sheet (the committed file, i.e. what ships) and writes a PNG,
// every pixel a scale x scale block (default 4), with two panels side by side:
//   left   the sheet as stored: pictures, grey masks, the pit mask
//   right  the sheet as the effect draws it: each mask cell shows its kind's
//          picture laid through that mask over a grey checkerboard, and the
//          pit mask shows the black pit picture through it; pictures and other
//          cells as stored
// The checker makes soft edges and fade levels visible on any page colour.
// Exit code 0, 1 when the input is not such a sheet or the PNG cannot be
// written.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int Width = 288, Height = 384, Cell = 24;

struct Sheet {
  unsigned char rgb[Height][Width][3];
};

bool ReadSheet(const char* path, Sheet* sheet) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  std::vector<unsigned char> bytes(1078 + Width * Height);
  const bool ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
  std::fclose(f);
  if (!ok || bytes[0] != 'B' || bytes[1] != 'M' || bytes[28] != 8 || bytes[14] != 40) return false;
  for (int row = 0; row < Height; ++row) {
    const unsigned char* src = bytes.data() + 1078 + row * Width;
    for (int x = 0; x < Width; ++x) {
      const unsigned char* q = bytes.data() + 54 + 4 * src[x];
      unsigned char* p = sheet->rgb[Height - 1 - row][x];
      p[0] = q[2];
      p[1] = q[1];
      p[2] = q[0];
    }
  }
  return true;
}

// Rounded a * m / 255 + b * (255 - m) / 255, as the effect mixes them.
unsigned char Mix(int picture, int background, int mask) {
  return static_cast<unsigned char>((picture * mask + background * (255 - mask) + 127) / 255);
}

unsigned char Checker(int x, int y) { return ((x / 4 + y / 4) & 1) ? 64 : 104; }

// The "as drawn" panel in sheet pixels.
void Composite(const Sheet& in, Sheet* out) {
  *out = in;
  for (int kind = 0; kind < 6; ++kind) {
    for (int level = 0; level < 10; ++level) {
      for (int y = 0; y < Cell; ++y) {
        for (int x = 0; x < Cell; ++x) {
          const int mask = in.rgb[Cell * (level + 1) + y][Cell * kind + x][2];
          const unsigned char* pic = in.rgb[y][Cell * kind + x];
          unsigned char* dst = out->rgb[Cell * (level + 1) + y][Cell * kind + x];
          for (int c = 0; c < 3; ++c) dst[c] = Mix(pic[c], Checker(x, y), mask);
        }
      }
    }
  }
  for (int y = 0; y < 96; ++y) {
    for (int x = 0; x < 96; ++x) {
      const int mask = in.rgb[288 + y][96 + x][2];
      unsigned char* dst = out->rgb[288 + y][96 + x];
      for (int c = 0; c < 3; ++c) dst[c] = Mix(in.rgb[288 + y][x][c], Checker(x, y), mask);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: sheet_preview <sheet.bmp> <out.png> [scale]\n");
    return 2;
  }
  const int scale = argc == 4 ? std::atoi(argv[3]) : 4;
  if (scale < 1 || scale > 16) return 2;
  static Sheet stored, drawn;
  if (!ReadSheet(argv[1], &stored)) {
    std::fprintf(stderr, "sheet_preview: %s is not an 8-bit 288 x 384 sheet\n", argv[1]);
    return 1;
  }
  Composite(stored, &drawn);

  const int gap = 4 * scale;
  const int outWidth = 2 * Width * scale + gap, outHeight = Height * scale;
  std::vector<unsigned char> image(static_cast<std::size_t>(outWidth) * outHeight * 3, 255);
  for (int y = 0; y < outHeight; ++y) {
    for (int x = 0; x < outWidth; ++x) {
      const Sheet* panel = nullptr;
      int sx = 0;
      if (x < Width * scale) {
        panel = &stored;
        sx = x / scale;
      } else if (x >= Width * scale + gap) {
        panel = &drawn;
        sx = (x - Width * scale - gap) / scale;
      }
      if (!panel) continue;
      const unsigned char* p = panel->rgb[y / scale][sx];
      unsigned char* d = &image[(static_cast<std::size_t>(y) * outWidth + x) * 3];
      d[0] = p[0];
      d[1] = p[1];
      d[2] = p[2];
    }
  }

  std::FILE* f = std::fopen(argv[2], "wb");
  if (!f) return 1;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return 1;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(outWidth), static_cast<png_uint_32>(outHeight), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  for (int y = 0; y < outHeight; ++y) png_write_row(png, &image[static_cast<std::size_t>(y) * outWidth * 3]);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0 ? 0 : 1;
}
