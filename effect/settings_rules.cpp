// settings_rules.cpp - see settings_rules.h.
#include "effect/settings_rules.h"

const SettingRule SpriteCountRule = {"CHRNUM", 100, 20, 200};
const SettingRule BackdropModeRule = {"PTNNUM", BackdropDesktop, BackdropDesktop, BackdropBlack};

const char SettingsSection[] = "Gyrewell";
const char SettingsPath[] = ".\\Gyrewell.ini";

const char16_t SaveFailureText[] =
    u"\u6b21\u306e\u30d5\u30a1\u30a4\u30eb\u306b\u8a2d\u5b9a\u3092\u4fdd\u5b58"
    u"\u3067\u304d\u307e\u305b\u3093\u3067\u3057\u305f\u3002";

std::int32_t SpriteCount = 100;
std::int32_t BackdropMode = BackdropDesktop;

std::int32_t HoldSetting(const SettingRule& rule, std::int32_t value) {
  if (value < rule.low || value > rule.high) return rule.fallback;
  return value;
}

std::int32_t CountFromSliderPosition(std::intptr_t position) {
  return static_cast<std::int32_t>(static_cast<std::uintptr_t>(position) & 0xFFFFu);
}

void FormatSaveFailure(char16_t* text, int size, const char16_t* const* paths, int pathCount) {
  if (size < 1) return;
  int length = 0;
  auto add = [&](const char16_t* part) {
    for (const char16_t* c = part; *c != u'\0' && length < size - 1; ++c) text[length++] = *c;
  };
  add(SaveFailureText);
  for (int i = 0; i < pathCount; ++i) {
    add(u"\r\n");
    add(paths[i]);
  }
  text[length] = u'\0';
}
