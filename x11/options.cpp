// options.cpp - see options.h.
#include "x11/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "effect/settings_rules.h"
#include "x11/scale.h"

const char UsageText[] =
    "usage: gyrewell [-root | -window | -window-id ID] [-display NAME]\n"
    "                [-count 20..200] [-backdrop desktop|black] [-delay MICROSECONDS]\n"
    "                [-scale 1..8] [-fps | -no-fps]\n"
    "  -root           draw on the root window (the saver's window under the screen-saver daemon)\n"
    "  -window         draw in a window of its own (the default outside the daemon)\n"
    "  -window-id ID   draw on an existing window (decimal or 0x hexadecimal)\n"
    "  -count N        sprites, 20 to 200 (default 100)\n"
    "  -backdrop B     desktop: the desktop with the dark pit (default); black: a black field\n"
    "  -delay US       microseconds from one frame to the next (default 15625)\n"
    "  -scale N        draw N times larger, 1 to 8 (default: from the desktop's Xft.dpi)\n"
    "  -fps, -no-fps   show the frame rate, or not (the default)\n";

namespace {

constexpr std::int64_t DefaultDelay = 15625;     // one 64 Hz timer tick, the saver's pace on Windows
constexpr std::int64_t LongestDelay = 10000000;  // ten seconds

// A whole decimal number (hexadecimal too with base 0) in low..high, nothing after it.
bool ReadNumber(const char* text, int base, std::int64_t low, std::int64_t high, std::int64_t& value) {
  if (text == nullptr || *text == '\0') return false;
  errno = 0;
  char* end = nullptr;
  const long long read = std::strtoll(text, &end, base);
  if (errno != 0 || *end != '\0' || read < low || read > high) return false;
  value = read;
  return true;
}

// The option's name without its one or two leading dashes, or null for an
// argument that is not an option.
const char* OptionName(const char* argument) {
  if (argument[0] != '-') return nullptr;
  return argument[1] == '-' ? argument + 2 : argument + 1;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, X11Options& o, char* error, std::size_t size) {
  o = X11Options{};
  o.target = TargetDefault;
  o.spriteCount = SpriteCountRule.fallback;
  o.backdropMode = BackdropDesktop;
  o.delayMicroseconds = DefaultDelay;
  if (size > 0) error[0] = '\0';
  bool windowIdGiven = false;

  for (int i = 1; i < argc; ++i) {
    const char* name = OptionName(argv[i]);
    if (name == nullptr) {
      std::snprintf(error, size, "unexpected argument \"%s\"", argv[i]);
      return false;
    }
    // Options without a value.
    if (std::strcmp(name, "root") == 0) { o.target = TargetRoot; continue; }
    if (std::strcmp(name, "window") == 0) { o.target = TargetOwnWindow; continue; }
    if (std::strcmp(name, "fps") == 0) { o.showFps = true; continue; }
    if (std::strcmp(name, "no-fps") == 0) { o.showFps = false; continue; }
    if (std::strcmp(name, "no-shm") == 0) { o.noShm = true; continue; }
    if (std::strcmp(name, "help") == 0 || std::strcmp(name, "h") == 0) { o.help = true; continue; }

    // Options with a value.
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    std::int64_t number = 0;
    bool known = true, good = value != nullptr;
    if (std::strcmp(name, "window-id") == 0) {
      good = good && ReadNumber(value, 0, 1, 0xFFFFFFFFLL, number);
      windowIdGiven = true;
      o.windowId = static_cast<unsigned long>(number);
    } else if (std::strcmp(name, "display") == 0) {
      o.displayName = value;
    } else if (std::strcmp(name, "count") == 0) {
      good = good && ReadNumber(value, 10, SpriteCountRule.low, SpriteCountRule.high, number);
      o.spriteCount = static_cast<std::int32_t>(number);
    } else if (std::strcmp(name, "backdrop") == 0) {
      if (good && std::strcmp(value, "desktop") == 0) o.backdropMode = BackdropDesktop;
      else if (good && std::strcmp(value, "black") == 0) o.backdropMode = BackdropBlack;
      else good = false;
    } else if (std::strcmp(name, "delay") == 0) {
      good = good && ReadNumber(value, 10, 0, LongestDelay, number);
      o.delayMicroseconds = number;
    } else if (std::strcmp(name, "scale") == 0) {
      good = good && ReadNumber(value, 10, 1, LargestScale, number);
      o.scale = static_cast<std::int32_t>(number);
    } else if (std::strcmp(name, "seed") == 0) {
      good = good && ReadNumber(value, 10, 0, 0xFFFFFFFFLL, number);
      o.seedGiven = true;
      o.seed = static_cast<std::uint32_t>(number);
    } else if (std::strcmp(name, "frames") == 0) {
      good = good && ReadNumber(value, 10, 1, 1000000000, number);
      o.frameLimit = static_cast<std::int32_t>(number);
    } else {
      known = false;
    }
    if (!known) {
      std::snprintf(error, size, "unknown option \"%s\"", argv[i]);
      return false;
    }
    if (!good) {
      if (value == nullptr) std::snprintf(error, size, "option \"%s\" needs a value", argv[i]);
      else std::snprintf(error, size, "bad value \"%s\" for option \"%s\"", value, argv[i]);
      return false;
    }
    ++i;
  }
  if (windowIdGiven) o.target = TargetWindowId;
  return true;
}
