// settings_rules.cpp - see settings_rules.h.
#include "effect/settings_rules.h"

const SettingRule SpriteCountRule = {"CHRNUM", 100, 20, 200};
const SettingRule BackdropModeRule = {"PTNNUM", BackdropDesktop, BackdropDesktop, BackdropBlack};

const char SettingsSection[] = "Gyrewell";
const char SettingsPath[] = ".\\Gyrewell.ini";

const char SaveFailureText[] =
    "\x8e\x9f\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc9\x90\xdd\x92\xe8\x82\xf0"
    "\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";

std::int32_t SpriteCount = 100;
std::int32_t BackdropMode = BackdropDesktop;

std::int32_t HoldSetting(const SettingRule& rule, std::int32_t value) {
  if (value < rule.low || value > rule.high) return rule.fallback;
  return value;
}

std::int32_t CountFromSliderPosition(std::intptr_t position) {
  return static_cast<std::int32_t>(static_cast<std::uintptr_t>(position) & 0xFFFFu);
}

void FormatSaveFailure(char* text, int size, const char* path) {
  if (size < 1) return;
  int length = 0;
  const char* parts[3] = {SaveFailureText, "\r\n", path};
  for (const char* part : parts) {
    for (const char* c = part; *c != '\0' && length < size - 1; ++c) text[length++] = *c;
  }
  text[length] = '\0';
}
