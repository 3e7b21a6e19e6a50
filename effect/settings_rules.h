// settings_rules.h - the two settings of the effect and the rules they obey.
//
// The settings live in a file named "Gyrewell.ini" (".\Gyrewell.ini", in the
// current directory at the time of the access, or the user's own; settings.h
// says which is meant when), in the section "Gyrewell":
//
//   [Gyrewell]
//   CHRNUM=100        SpriteCount: sprites drawn in saver mode, 20..200, default 100
//   PTNNUM=1          BackdropMode: 1 desktop with the pit, 2 black, default 1
//
// A value that is missing yields its default; a value outside its range also
// yields the default, silently. The file keeps the bad value until the next OK
// in the configuration dialog rewrites both keys. Values are written as plain
// decimal text ("%ld": optional minus sign, digits, no leading zeros or blanks).
//
// Text that is not a plain decimal number is turned into an integer by the
// platform's private-profile integer read (leading blanks skipped, digits read
// up to the first other character, "0x" taken as hexadecimal, 32-bit wrap);
// whatever it yields then passes HoldSetting. Section and key names are matched
// the platform's way, without regard to letter case.
//
// This header is portable: the Win32 read and write are in settings.h.
#ifndef GYREWELL_SETTINGS_RULES_H
#define GYREWELL_SETTINGS_RULES_H

#include <cstdint>

struct SettingRule {
  const char* key;        // key name in the settings file
  std::int32_t fallback;  // missing or out of range
  std::int32_t low;       // accepted range, both ends included
  std::int32_t high;
};

extern const SettingRule SpriteCountRule;   // "CHRNUM" 20..200, default 100
extern const SettingRule BackdropModeRule;  // "PTNNUM" 1..2, default 1

extern const char SettingsSection[];  // "Gyrewell"
extern const char SettingsPath[];     // ".\Gyrewell.ini"

// The process-wide settings of the effect. After every read they hold a value in
// range; the configuration dialog changes them while it is open.
extern std::int32_t SpriteCount;
extern std::int32_t BackdropMode;

// Backdrop modes.
constexpr std::int32_t BackdropDesktop = 1;  // desktop copy with the pit
constexpr std::int32_t BackdropBlack = 2;    // black field, no pit

// Text buffers for one formatted value or label, in characters.
constexpr int SettingTextSize = 256;

// wsprintfA format of a stored value.
constexpr char SettingValueFormat[] = "%ld";

// wsprintfW format of the count label: the count followed by one ideographic
// space (U+3000). The label is UTF-16 so that it reads the same whatever the
// system's ANSI code page; written as an escape so that the source file's own
// encoding cannot change it.
constexpr wchar_t CountLabelFormat[] = L"%d\u3000";

// The same label through the ANSI calls of the 95/98/Me family: the count and
// the ideographic space in code page 932 (0x81 0x40), the dialog's own.
constexpr char CountLabelFormatCp932[] = "%d\x81\x40";

// Message shown when OK cannot store the settings; the full path of the file
// follows it. UTF-16 for "次のファイルに設定を保存できませんでした。" (the
// settings could not be saved to the following file), and the same in code
// page 932 for the ANSI calls.
extern const char16_t SaveFailureText[];
extern const char SaveFailureTextCp932[];

// The value the effect uses for what the file yielded: value itself when it lies
// in low..high (signed comparison), otherwise the rule's fallback.
std::int32_t HoldSetting(const SettingRule& rule, std::int32_t value);

// Sprite count for a slider position as the trackbar reports it: its low 16
// bits taken as an unsigned number.
std::int32_t CountFromSliderPosition(std::intptr_t position);

// The trackbar's range parameter: low word 20, high word 200 (13107220).
constexpr std::uint32_t SliderRangeParameter =
    static_cast<std::uint32_t>(20) | (static_cast<std::uint32_t>(200) << 16);
constexpr std::int32_t SliderPageSize = 100;

// Writes the text that names the files the settings could not be saved to:
// SaveFailureText, then each of the pathCount paths after a line break of its
// own, cut to fit size UTF-16 units including the closing zero. Does nothing
// when size is below 1.
void FormatSaveFailure(char16_t* text, int size, const char16_t* const* paths, int pathCount);

// The same in code page 932 (SaveFailureTextCp932), with paths in the
// system's code page, for the ANSI calls.
void FormatSaveFailure(char* text, int size, const char* const* paths, int pathCount);

#endif
