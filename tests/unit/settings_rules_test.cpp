// The range rules, the trackbar position reading and the texts the settings
// code hands to wsprintfA and MessageBoxA.
#include "effect/settings_rules.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <string>

// Code page 932 text as UTF-8, through the C library's converter.
static std::string FromCp932(const std::string& text) {
  iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return "<no CP932 converter>";
  std::string in = text;
  char out[1024];
  char* inPointer = &in[0];
  char* outPointer = out;
  size_t inLeft = in.size(), outLeft = sizeof out;
  size_t done = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (done == static_cast<size_t>(-1)) return "<not CP932>";
  return std::string(out, sizeof out - outLeft);
}

TEST(SettingsRules, SpriteCountIsHeldTo20Through200) {
  struct Case { std::int32_t stored, used; };
  const Case cases[] = {
      {19, 100}, {20, 20}, {21, 21}, {100, 100}, {150, 150}, {199, 199}, {200, 200},
      {201, 100}, {0, 100}, {-1, 100}, {-20, 100}, {500, 100},
      {INT32_MIN, 100}, {INT32_MAX, 100},
      // what the platform's read yields for "4294967295"
      {static_cast<std::int32_t>(0xFFFFFFFFu), 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HoldSetting(SpriteCountRule, c.stored), c.used) << "stored " << c.stored;
  }
}

TEST(SettingsRules, BackdropModeIsHeldTo1Or2) {
  struct Case { std::int32_t stored, used; };
  const Case cases[] = {{0, 1}, {1, 1}, {2, 2}, {3, 1}, {-1, 1}, {-2, 1}, {INT32_MIN, 1}, {INT32_MAX, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(HoldSetting(BackdropModeRule, c.stored), c.used) << "stored " << c.stored;
  }
}

TEST(SettingsRules, FileNamesAndDefaultsMatchExistingSettingsFiles) {
  EXPECT_STREQ(SettingsSection, "Gyrewell");
  EXPECT_STREQ(SettingsPath, ".\\Gyrewell.ini");
  EXPECT_STREQ(SpriteCountRule.key, "CHRNUM");
  EXPECT_STREQ(BackdropModeRule.key, "PTNNUM");
  // Before any read the values are the defaults, which are in range.
  EXPECT_EQ(HoldSetting(SpriteCountRule, SpriteCountRule.fallback), 100);
  EXPECT_EQ(HoldSetting(BackdropModeRule, BackdropModeRule.fallback), 1);
}

TEST(SettingsRules, SliderPositionIsItsLow16BitsUnsigned) {
  EXPECT_EQ(CountFromSliderPosition(20), 20);
  EXPECT_EQ(CountFromSliderPosition(200), 200);
  EXPECT_EQ(CountFromSliderPosition(0x10096), 150);
  EXPECT_EQ(CountFromSliderPosition(-1), 0xFFFF);
  // The trackbar range word pair agrees with the rule.
  EXPECT_EQ(SliderRangeParameter & 0xFFFFu, static_cast<std::uint32_t>(SpriteCountRule.low));
  EXPECT_EQ(SliderRangeParameter >> 16, static_cast<std::uint32_t>(SpriteCountRule.high));
}

// wsprintfA and snprintf agree on %ld and %d, so the bytes can be checked here.
TEST(SettingsRules, FormatsGiveDecimalTextAndCp932Label) {
  char text[SettingTextSize];
  std::snprintf(text, sizeof text, SettingValueFormat, 150L);
  EXPECT_STREQ(text, "150");
  std::snprintf(text, sizeof text, SettingValueFormat, -7L);
  EXPECT_STREQ(text, "-7");
  std::snprintf(text, sizeof text, CountLabelFormat, 150);
  // "150" and the ideographic space of code page 932, not its UTF-8 bytes.
  EXPECT_EQ(std::string(text), std::string("150\x81\x40"));
  EXPECT_EQ(FromCp932(text), "150\u3000");
}

TEST(SettingsRules, SaveFailureTextNamesTheFileAndNeverOverflows) {
  const char* path = "Z:\\home\\user\\Gyrewell.ini";
  char text[512];
  FormatSaveFailure(text, static_cast<int>(sizeof text), path);
  std::string expected = std::string(SaveFailureText) + "\r\n" + path;
  EXPECT_EQ(std::string(text), expected);
  EXPECT_EQ(FromCp932(SaveFailureText), "次のファイルに設定を保存できませんでした。");

  // Too small a buffer: cut, always terminated, nothing written past it.
  char small[12];
  std::memset(small, 'x', sizeof small);
  FormatSaveFailure(small, 8, path);
  EXPECT_EQ(std::strlen(small), 7u);
  EXPECT_EQ(std::memcmp(small, SaveFailureText, 7), 0);
  EXPECT_EQ(small[8], 'x');

  char one = 'x';
  FormatSaveFailure(&one, 1, path);
  EXPECT_EQ(one, '\0');
  char none = 'x';
  FormatSaveFailure(&none, 0, path);
  EXPECT_EQ(none, 'x');
}
