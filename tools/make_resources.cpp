// make_resources - writes the sprite sheet, the icon and the sound.
//
//   make_resources <folder>
//
// Writes <folder>/sheet.bmp, <folder>/gyrewell.ico and <folder>/hop.wav (the
// folder is resources/ for the committed files). Exit code 0, or 1 when a file
// cannot be written. The unit tests rebuild the same bytes and compare them
// with the committed files, so after changing the art run this and commit the
// results together with the code.
#include <cstdio>
#include <string>
#include <vector>

#include "resource_art.h"

namespace {

bool WriteFile(const std::string& path, const std::uint8_t* bytes, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_resources <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];

  std::vector<SheetPicture> sheet(1);
  DrawSheet(sheet.data());
  std::vector<std::uint8_t> bmp(SheetFileSize), ico(IconFileSize), wav(WaveFileSize);
  EncodeSheetBitmap(sheet[0], bmp.data());
  BuildIconFile(ico.data());
  BuildWaveFile(wav.data());

  const struct {
    const char* name;
    const std::vector<std::uint8_t>* bytes;
  } files[] = {{"sheet.bmp", &bmp}, {"gyrewell.ico", &ico}, {"hop.wav", &wav}};
  for (const auto& file : files) {
    const std::string path = folder + "/" + file.name;
    if (!WriteFile(path, file.bytes->data(), file.bytes->size())) {
      std::fprintf(stderr, "make_resources: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), file.bytes->size());
  }
  return 0;
}
