// settings_rules.cpp - see settings_rules.h.
#include "effect/settings_rules.h"

const SettingRule SpriteCountRule = {"CHRNUM", 100, 20, 200};
const SettingRule BackdropModeRule = {"PTNNUM", BackdropDesktop, BackdropDesktop, BackdropBlack};

const char SettingsSection[] = "Gyrewell";
const char SettingsPath[] = ".\\Gyrewell.ini";

const char16_t SaveFailureText[] =
    u"\u6b21\u306e\u30d5\u30a1\u30a4\u30eb\u306b\u8a2d\u5b9a\u3092\u4fdd\u5b58"
    u"\u3067\u304d\u307e\u305b\u3093\u3067\u3057\u305f\u3002";

const char SaveFailureTextCp932[] =
    "\x8e\x9f\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc9\x90\xdd"
    "\x92\xe8\x82\xf0\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9"
    "\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";

std::int32_t SpriteCount = 100;
std::int32_t BackdropMode = BackdropDesktop;

std::int32_t HoldSetting(const SettingRule& rule, std::int32_t value) {
  if (value < rule.low || value > rule.high) return rule.fallback;
  return value;
}

std::int32_t CountFromSliderPosition(std::intptr_t position) {
  return static_cast<std::int32_t>(static_cast<std::uintptr_t>(position) & 0xFFFFu);
}

namespace {

template <typename Char>
void FormatFailure(Char* text, int size, const Char* header, const Char* lineBreak, const Char* const* paths,
                   int pathCount) {
  if (size < 1) return;
  int length = 0;
  auto add = [&](const Char* part) {
    for (const Char* c = part; *c != 0 && length < size - 1; ++c) text[length++] = *c;
  };
  add(header);
  for (int i = 0; i < pathCount; ++i) {
    add(lineBreak);
    add(paths[i]);
  }
  text[length] = 0;
}

}  // namespace

void FormatSaveFailure(char16_t* text, int size, const char16_t* const* paths, int pathCount) {
  FormatFailure(text, size, SaveFailureText, u"\r\n", paths, pathCount);
}

void FormatSaveFailure(char* text, int size, const char* const* paths, int pathCount) {
  FormatFailure(text, size, SaveFailureTextCp932, "\r\n", paths, pathCount);
}
