// command_tail.h - reading the screen saver's command line.
//
// The system starts a screen saver with one switch that says what to do:
//
//   (nothing)      Configure, the settings dialog without an owner
//   /c  /c:<hwnd>  Configure, owned by <hwnd> if that is a window, else by the
//                  foreground window ("/c 1234" does not read the number)
//   /s             Saver, full screen; anything after the letter is ignored
//   /p <hwnd>      Preview into <hwnd> (spaces, then a decimal number);
//   /l <hwnd>      the same
//   /a [<hwnd>]    ChangePassword (Windows 95/98/Me family only), owned by
//                  <hwnd> if that is a window, else by the foreground window
//
// Letters may be upper or lower case; any mix of spaces, '-' and '/' may stand
// before the letter (a tab may not). Any other letter ends with exit code -1.
// Only the first switch counts.
//
// CommandTail cuts the program name off the raw command line: a quoted name
// runs to the closing quote (or to the end, if there is none), an unquoted one
// to the first byte at or below 0x20; blanks after it are skipped. The caller
// supplies the character step (CharNextA on Windows) so double-byte names are
// walked one character at a time.
//
// ParseHandleNumber reads decimal digits into an unsigned 32-bit number that
// wraps modulo 2^32; no sign, no blanks, no hex; no digits gives 0.
#ifndef GYREWELL_COMMAND_TAIL_H
#define GYREWELL_COMMAND_TAIL_H

#include <cstdint>

enum class SaverMode { Configure, Saver, Preview, ChangePassword };

// Where the owner of a dialog comes from.
enum class OwnerRule {
  None,                 // no owner at all
  HandleOrForeground,   // handle if non-zero and a window, else the foreground window
};

struct SwitchChoice {
  bool valid;           // false: exit with -1, show nothing
  SaverMode mode;
  OwnerRule owner;      // Configure and ChangePassword
  std::uint32_t handle; // the number read for /c:, /p, /l, /a; 0 if none
  const char* rest;     // Preview: the text after the letter and its spaces
};

typedef const char* (*CharStep)(const char* at);

const char* CommandTail(const char* commandLine, CharStep next);
std::uint32_t ParseHandleNumber(const char* text);
SwitchChoice ScanSwitch(const char* tail, bool win9xFamily);

#endif
