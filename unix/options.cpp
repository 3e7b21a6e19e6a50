// options.cpp - see options.h.
#include "unix/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "effect/settings_rules.h"
#include "unix/scale.h"

namespace {

constexpr std::int64_t DefaultDelay = 15625;     // one 64 Hz timer tick, the saver's pace on Windows
constexpr std::int64_t LongestDelay = 10000000;  // ten seconds

// The option's name without its one or two leading dashes, or null for an
// argument that is not an option.
const char* OptionName(const char* argument) {
  if (argument[0] != '-') return nullptr;
  return argument[1] == '-' ? argument + 2 : argument + 1;
}

// The shared options, as a program's reader answers for its own.
OwnOption ReadSaverOption(const char* name, const char* value, SaverOptions& o) {
  const bool fps = std::strcmp(name, "fps") == 0;
  if (fps || std::strcmp(name, "no-fps") == 0) {
    o.showFps = fps;
    return OwnFlag;
  }
  if (std::strcmp(name, "help") == 0 || std::strcmp(name, "h") == 0) {
    o.help = true;
    return OwnFlag;
  }

  std::int64_t number = 0;
  bool good = value != nullptr;
  if (std::strcmp(name, "count") == 0) {
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
    return NotOwnOption;
  }
  return good ? OwnValue : OwnBadValue;
}

}  // namespace

int AnswerCommandLine(bool parsed, const SaverOptions& o, const char* program, const char* error, const char* usage) {
  if (!parsed) {
    std::fprintf(stderr, "%s: %s\n%s", program, error, usage);
    return 1;
  }
  if (o.help) {
    std::fputs(usage, stdout);
    return 0;
  }
  return -1;
}

bool ReadNumber(const char* text, int base, std::int64_t low, std::int64_t high, std::int64_t& value) {
  if (text == nullptr || *text == '\0') return false;
  errno = 0;
  char* end = nullptr;
  const long long read = std::strtoll(text, &end, base);
  if (errno != 0 || *end != '\0' || read < low || read > high) return false;
  value = read;
  return true;
}

bool ParseSaverOptions(int argc, const char* const* argv, SaverOptions& o, OwnOptionReader own, void* ownOptions,
                       char* error, std::size_t size) {
  o = SaverOptions{};
  o.spriteCount = SpriteCountRule.fallback;
  o.backdropMode = BackdropDesktop;
  o.delayMicroseconds = DefaultDelay;
  if (size > 0) error[0] = '\0';

  for (int i = 1; i < argc; ++i) {
    const char* name = OptionName(argv[i]);
    if (name == nullptr) {
      std::snprintf(error, size, "unexpected argument \"%s\"", argv[i]);
      return false;
    }
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    OwnOption read = ReadSaverOption(name, value, o);
    if (read == NotOwnOption && own != nullptr) read = own(name, value, ownOptions);
    switch (read) {
      case NotOwnOption:
        std::snprintf(error, size, "unknown option \"%s\"", argv[i]);
        return false;
      case OwnBadValue:
        if (value == nullptr) std::snprintf(error, size, "option \"%s\" needs a value", argv[i]);
        else std::snprintf(error, size, "bad value \"%s\" for option \"%s\"", value, argv[i]);
        return false;
      case OwnValue:
        ++i;
        break;
      case OwnFlag:
        break;
    }
  }
  return true;
}
