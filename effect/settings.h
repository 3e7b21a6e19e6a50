// settings.h - reading and writing the settings file (Win32).
//
// ReadSetting reads one key of ".\Gyrewell.ini" with GetPrivateProfileIntA and
// holds the result to the key's range (see settings_rules.h for the rules and
// for what happens to text that is not a plain number). ReadSettings fills
// SpriteCount, then BackdropMode.
//
// WriteSettings stores SpriteCount under "CHRNUM", then BackdropMode under
// "PTNNUM", always both, changed or not, as "%ld" text through
// WritePrivateProfileStringA, which creates the file, the section and the keys
// as needed. It returns 0 when both keys were written and -1 when either write
// failed (a current directory that cannot be written, a folder where the file
// should be, ...); the caller decides what the user is told.
#ifndef GYREWELL_SETTINGS_H
#define GYREWELL_SETTINGS_H

#include "effect/settings_rules.h"

std::int32_t ReadSetting(const SettingRule& rule);
void ReadSettings();
int WriteSettings();

#endif
