// settings.cpp - see settings.h.
#include "effect/settings.h"

#include <windows.h>

std::int32_t ReadSetting(const SettingRule& rule) {
  // The platform returns a UINT that carries the signed value (a stored -5
  // comes back as 0xFFFFFFFB); the range test is a signed one.
  UINT raw = GetPrivateProfileIntA(SettingsSection, rule.key, rule.fallback, SettingsPath);
  return HoldSetting(rule, static_cast<std::int32_t>(raw));
}

void ReadSettings() {
  SpriteCount = ReadSetting(SpriteCountRule);
  BackdropMode = ReadSetting(BackdropModeRule);
}

static BOOL WriteSetting(const SettingRule& rule, std::int32_t value) {
  char text[SettingTextSize];
  wsprintfA(text, SettingValueFormat, static_cast<long>(value));
  return WritePrivateProfileStringA(SettingsSection, rule.key, text, SettingsPath);
}

int WriteSettings() {
  // Both writes are attempted even when the first fails, so that a partly
  // writable file still receives what it can.
  BOOL countSaved = WriteSetting(SpriteCountRule, SpriteCount);
  BOOL modeSaved = WriteSetting(BackdropModeRule, BackdropMode);
  return (countSaved && modeSaved) ? 0 : -1;
}
