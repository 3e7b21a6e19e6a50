// The range rules, the trackbar position reading and the texts the settings
// code hands to wsprintfA/W and MessageBoxW.
#include "effect/settings_rules.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

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

// wsprintfA/W and snprintf/swprintf agree on %ld and %d, so the texts can be
// checked here.
TEST(SettingsRules, FormatsGiveDecimalTextAndUtf16Label) {
  char text[SettingTextSize];
  std::snprintf(text, sizeof text, SettingValueFormat, 150L);
  EXPECT_STREQ(text, "150");
  std::snprintf(text, sizeof text, SettingValueFormat, -7L);
  EXPECT_STREQ(text, "-7");
  wchar_t label[SettingTextSize];
  std::swprintf(label, SettingTextSize, CountLabelFormat, 150);
  // "150" and the ideographic space as one character, not code-page bytes.
  EXPECT_EQ(std::wstring(label), std::wstring(L"150") + static_cast<wchar_t>(0x3000));
}

TEST(SettingsRules, SaveFailureTextNamesTheFilesAndNeverOverflows) {
  // A path no single code page holds: the text must carry it unchanged.
  const char16_t* path = u"Z:\\home\\ユーザー\\Müller\\Gyrewell.ini";
  const char16_t* both[2] = {path, u"C:\\users\\ユーザー\\AppData\\Roaming\\Gyrewell\\Gyrewell.ini"};
  char16_t text[512];
  FormatSaveFailure(text, static_cast<int>(sizeof text / sizeof text[0]), both, 2);
  EXPECT_EQ(std::u16string(text), u"次のファイルに設定を保存できませんでした。\r\n" + std::u16string(path) +
                                      u"\r\n" + std::u16string(both[1]));

  // Too small a buffer: cut, always terminated, nothing written past it.
  char16_t small[12];
  std::fill(small, small + 12, u'x');
  FormatSaveFailure(small, 8, both, 2);
  EXPECT_EQ(std::u16string(small), std::u16string(SaveFailureText, 7));
  EXPECT_EQ(small[8], u'x');

  char16_t one = u'x';
  FormatSaveFailure(&one, 1, both, 2);
  EXPECT_EQ(one, u'\0');
  char16_t none = u'x';
  FormatSaveFailure(&none, 0, both, 2);
  EXPECT_EQ(none, u'x');
}

// The ANSI texts of the 95/98/Me family are the UTF-16 ones in code page 932,
// byte for byte.
TEST(SettingsRules, Cp932TextsAreTheUtf16Ones) {
  auto cp932 = [](const std::u16string& text) {
    iconv_t convert = iconv_open("CP932", "UTF-16LE");
    EXPECT_NE(convert, reinterpret_cast<iconv_t>(-1));
    std::string in(reinterpret_cast<const char*>(text.data()), text.size() * 2), out(text.size() * 2, '\0');
    char* from = &in[0];
    char* to = &out[0];
    std::size_t inLeft = in.size(), outLeft = out.size();
    EXPECT_NE(iconv(convert, &from, &inLeft, &to, &outLeft), static_cast<std::size_t>(-1));
    iconv_close(convert);
    out.resize(out.size() - outLeft);
    return out;
  };
  const char* paths[1] = {"C:\\WINDOWS\\Gyrewell.ini"};
  char text[256];
  FormatSaveFailure(text, sizeof text, paths, 1);
  EXPECT_EQ(std::string(text), cp932(SaveFailureText) + "\r\n" + paths[0]);
  char label[SettingTextSize];
  std::snprintf(label, sizeof label, CountLabelFormatCp932, 150);
  EXPECT_EQ(std::string(label), "150" + cp932(u"\u3000"));
}
