// options.cpp - see options.h.
#include "wayland/options.h"

#include <cstring>

const char WaylandUsageText[] =
    "usage: gyrewell-wayland [-count 20..200] [-backdrop desktop|black] [-delay MICROSECONDS]\n"
    "                        [-scale 1..8] [-fps | -no-fps] [-desktop FILE.png] [-toplevel]\n"
    SAVER_USAGE_ANIMATION
    "  -scale N        draw N times larger, 1 to 8 (default: from each output's scale)\n"
    "  -fps, -no-fps   show the frame rate, or not (the default)\n"
    "  -desktop FILE   a PNG picture as the desktop behind the pit\n"
    "  -toplevel       full-screen windows instead of the layer shell's overlay\n";

namespace {

OwnOption ReadWaylandOption(const char* name, const char* value, void* options) {
  WaylandOptions& o = *static_cast<WaylandOptions*>(options);
  if (std::strcmp(name, "toplevel") == 0) {
    o.toplevel = true;
    return OwnFlag;
  }
  if (std::strcmp(name, "desktop") == 0) {
    if (value == nullptr || *value == '\0') return OwnBadValue;
    o.desktopFile = value;
    return OwnValue;
  }
  return NotOwnOption;
}

}  // namespace

bool ParseWaylandOptions(int argc, const char* const* argv, WaylandOptions& o, char* error, std::size_t size) {
  o = WaylandOptions{};
  return ParseSaverOptions(argc, argv, o, ReadWaylandOption, &o, error, size);
}
