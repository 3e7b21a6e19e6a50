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
// Windows starts a screen saver and its preview in C:\Windows\System32, where
// a standard user cannot write, but "Configure" and "Test" in the file's own
// menu, and a double click, start it in the folder that holds the file. So on
// the NT family the user's file is the one OK writes, whatever folder the
// dialog was started in, and every start, from any folder, finds it:
//
//   read   the user's file if it exists, otherwise .\Gyrewell.ini (an
//          administrator's or an older file, never changed by us), otherwise
//          the defaults
//   write  the user's file, its folder made as needed; only where that
//          cannot be written (no profile folder, a folder in its way) the
//          current folder's file
//
// A user's file that exists but cannot be written is the one failure that is
// not passed on to the current folder's file: that file would be shadowed by
// the user's at the next read, and the choice lost while OK looked done.
//
// On the 95/98/Me family only .\Gyrewell.ini is read and written, through the
// ANSI calls: there the saver, its preview and the dialog are started in the
// same folder, and the family has no per-user folders to speak of. The family
// is the one the host recorded at start-up.
//
// ReadSetting reads one key and holds the result to the key's range (see
// settings_rules.h for the rules and for what happens to text that is not a
// plain number). ReadSettings fills SpriteCount, then BackdropMode.
//
// WriteSettings stores SpriteCount under "CHRNUM", then BackdropMode under
// "PTNNUM", always both, changed or not, as "%ld" text. It returns 0 when both
// keys were written to one file and -1 when no file took them; then `tried`
// names the files it tried, in the order tried, so the caller can tell the
// user: as full UTF-16 paths on the NT family, as a full path in the system's
// code page on the 95/98/Me family, whose wide calls are stubs that fail.
//
// The user's folder is asked of the shell (SHGetFolderPathW, looked up by
// name: Windows NT 4 lacks it). Where it cannot be had, only the current
// folder's file is used.
#ifndef GYREWELL_SETTINGS_H
#define GYREWELL_SETTINGS_H

#include <windows.h>

#include "effect/settings_rules.h"

struct SettingsFilesTried {
  int count;
  wchar_t paths[2][MAX_PATH];    // the NT family
  char ansiPaths[1][MAX_PATH];   // the 95/98/Me family: only the current folder's file
};

std::int32_t ReadSetting(const SettingRule& rule);
void ReadSettings();
int WriteSettings(SettingsFilesTried* tried);

#endif
