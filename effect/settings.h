// settings.h - reading and writing the settings file (Win32).
//
// The settings may sit in two files, both in the same layout (settings_rules.h):
//
//   .\Gyrewell.ini                       the current folder's file, through the
//                                        ANSI calls, exactly as it always was
//   %APPDATA%\Gyrewell\Gyrewell.ini      the user's own file (the roaming
//                                        application data folder), through
//                                        the wide calls: a profile folder may
//                                        hold characters outside the code page
//
// Windows starts a screen saver in C:\Windows\System32, where a standard user
// cannot write, and a 64-bit program with a manifest is never redirected to a
// VirtualStore. So the current folder's file is kept wherever it works (older
// installs rely on it) and the user's file takes over where it does not. Which
// file is meant is decided afresh at every read and every write:
//
//   read   the user's file if it exists, otherwise .\Gyrewell.ini (missing:
//          the defaults)
//   write  the user's file if it exists; otherwise .\Gyrewell.ini, and if
//          either key cannot be written there, both keys go to the user's
//          file, its folder made as needed
//
// so whatever a write stored is what the next read finds.
//
// ReadSetting reads one key and holds the result to the key's range (see
// settings_rules.h for the rules and for what happens to text that is not a
// plain number). ReadSettings fills SpriteCount, then BackdropMode.
//
// WriteSettings stores SpriteCount under "CHRNUM", then BackdropMode under
// "PTNNUM", always both, changed or not, as "%ld" text. It returns 0 when both
// keys were written to one file and -1 when no file took them; then `tried`
// names, as full UTF-16 paths, the files it tried, in the order tried, so the
// caller can tell the user.
//
// The user's folder is asked of the shell (SHGetFolderPathW, looked up by
// name: the oldest Windows families lack it). Where it cannot be had, as on
// the 95/98/Me family, whose folders have no permissions anyway, only the
// current folder's file is used.
#ifndef GYREWELL_SETTINGS_H
#define GYREWELL_SETTINGS_H

#include <windows.h>

#include "effect/settings_rules.h"

struct SettingsFilesTried {
  int count;
  wchar_t paths[2][MAX_PATH];
};

std::int32_t ReadSetting(const SettingRule& rule);
void ReadSettings();
int WriteSettings(SettingsFilesTried* tried);

#endif
