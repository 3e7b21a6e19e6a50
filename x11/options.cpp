// options.cpp - see options.h.
#include "x11/options.h"

#include <cstring>

const char UsageText[] =
    "usage: gyrewell [-root | -window | -window-id ID] [-display NAME]\n"
    "                [-count 20..200] [-backdrop desktop|black] [-delay MICROSECONDS]\n"
    "                [-scale 1..8] [-fps | -no-fps]\n"
    "  -root           draw on the root window (the saver's window under the screen-saver daemon)\n"
    "  -window         draw in a window of its own (the default outside the daemon)\n"
    "  -window-id ID   draw on an existing window (decimal or 0x hexadecimal)\n"
    SAVER_USAGE_ANIMATION
    "  -scale N        draw N times larger, 1 to 8 (default: from the desktop's Xft.dpi)\n"
    "  -fps, -no-fps   show the frame rate, or not (the default)\n";

namespace {

OwnOption ReadX11Option(const char* name, const char* value, void* options) {
  X11Options& o = *static_cast<X11Options*>(options);
  if (std::strcmp(name, "root") == 0) {
    if (o.target != TargetWindowId) o.target = TargetRoot;
    return OwnFlag;
  }
  if (std::strcmp(name, "window") == 0) {
    if (o.target != TargetWindowId) o.target = TargetOwnWindow;
    return OwnFlag;
  }
  if (std::strcmp(name, "no-shm") == 0) {
    o.noShm = true;
    return OwnFlag;
  }
  if (std::strcmp(name, "window-id") == 0) {
    std::int64_t id = 0;
    if (!ReadNumber(value, 0, 1, 0xFFFFFFFFLL, id)) return OwnBadValue;
    o.windowId = static_cast<unsigned long>(id);
    o.target = TargetWindowId;  // wherever it stands
    return OwnValue;
  }
  if (std::strcmp(name, "display") == 0) {
    if (value == nullptr) return OwnBadValue;
    o.displayName = value;
    return OwnValue;
  }
  return NotOwnOption;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, X11Options& o, char* error, std::size_t size) {
  o = X11Options{};
  o.target = TargetDefault;
  return ParseSaverOptions(argc, argv, o, ReadX11Option, &o, error, size);
}
