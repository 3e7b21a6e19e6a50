// options.h - the command line both programs share (X11 and Wayland).
//
// Options follow the display modes of X screen savers: one dash or two
// ("-count" and "--count" are the same; the daemon hands its programs the
// second form), a value as the next argument. The options about the
// animation, its pace and the test runs mean the same in both programs and
// are read here, by one loop; each program hands that loop a reader for its
// own options (where it draws), asked only for names the loop does not know.
// A bad option is one line in error: the argument and what is wrong with it.
#ifndef GYREWELL_UNIX_OPTIONS_H
#define GYREWELL_UNIX_OPTIONS_H

#include <cstddef>
#include <cstdint>

struct SaverOptions {
  std::int32_t spriteCount;        // -count, 20..200
  std::int32_t backdropMode;       // -backdrop: BackdropDesktop or BackdropBlack
  std::int64_t delayMicroseconds;  // -delay, between one presentation and the next
  std::int32_t scale;              // -scale, 1..8; 0: from the desktop (unix/scale.h)
  bool showFps;                    // -fps (-no-fps turns it off again)
  // For tests: a fixed seed and a stop after a number of frames.
  bool seedGiven;
  std::uint32_t seed;
  std::int32_t frameLimit;         // -frames; 0: no limit
  bool help;
};

// What a program's reader says of one option.
enum OwnOption {
  NotOwnOption,  // not one of the program's: an unknown option
  OwnFlag,       // taken; it has no value
  OwnValue,      // taken with the value that follows it
  OwnBadValue,   // one of the program's, but its value is missing or wrong
};

// name: the option without its dashes; value: the argument after it, or null
// when there is none. options: what ParseSaverOptions was handed for it.
typedef OwnOption (*OwnOptionReader)(const char* name, const char* value, void* options);

// Reads argv[1..argc-1] into o (every option not given at its default) and
// the program's own options through own (which may be null). False, with
// one line in error (size bytes, always terminated), at the first bad one.
bool ParseSaverOptions(int argc, const char* const* argv, SaverOptions& o, OwnOptionReader own, void* ownOptions,
                       char* error, std::size_t size);

// What a program's main does with the command line it has read (parsed:
// what the parser answered): -1 to go on; after -help 0, with the usage on
// standard output; after a bad option 1, with "PROGRAM: error" and the usage
// on standard error.
int AnswerCommandLine(bool parsed, const SaverOptions& o, const char* program, const char* error, const char* usage);

// A whole number in low..high, nothing after it: decimal, or with base 0
// also 0x hexadecimal. For the programs' own options.
bool ReadNumber(const char* text, int base, std::int64_t low, std::int64_t high, std::int64_t& value);

// The usage lines of the shared options about the animation, for the
// programs' usage texts.
#define SAVER_USAGE_ANIMATION                                                          \
  "  -count N        sprites, 20 to 200 (default 100)\n"                               \
  "  -backdrop B     desktop: the desktop with the dark pit (default); black: a black field\n" \
  "  -delay US       microseconds from one frame to the next (default 15625)\n"

#endif
