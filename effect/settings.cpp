// settings.cpp - see settings.h.
#include "effect/settings.h"

#include <shlobj.h>

#include "host/host_state.h"
#include "host/system_lookup.h"

namespace {

constexpr wchar_t UserFolderName[] = L"\\Gyrewell";
constexpr wchar_t UserFileName[] = L"\\Gyrewell.ini";

// The section and key names are ASCII; the wide calls want them as UTF-16.
void WidenAscii(wchar_t* to, int size, const char* from) {
  int i = 0;
  for (; from[i] != '\0' && i < size - 1; ++i) to[i] = static_cast<wchar_t>(static_cast<unsigned char>(from[i]));
  to[i] = L'\0';
}

bool Append(wchar_t* path, const wchar_t* tail) {
  int length = lstrlenW(path);
  if (length + lstrlenW(tail) >= MAX_PATH) return false;
  lstrcpyW(path + length, tail);
  return true;
}

// The user's settings folder, %APPDATA%\Gyrewell. `create` also makes the
// application data folder itself where a new profile lacks it (our own
// folder is made by the caller). False when the shell cannot say.
bool UserSettingsFolder(wchar_t* folder, bool create) {
  typedef HRESULT(WINAPI * FolderPathFunction)(HWND, int, HANDLE, DWORD, LPWSTR);
  HMODULE shell = LoadLibraryA("shell32.dll");
  if (shell == nullptr) return false;
  FolderPathFunction folderPath = LookUpEntry<FolderPathFunction>(shell, "SHGetFolderPathW");
  bool found = folderPath != nullptr &&
               folderPath(nullptr, CSIDL_APPDATA | (create ? CSIDL_FLAG_CREATE : 0), nullptr, SHGFP_TYPE_CURRENT,
                          folder) == S_OK &&
               folder[0] != L'\0';
  FreeLibrary(shell);
  return found && Append(folder, UserFolderName);
}

bool UserSettingsFile(wchar_t* path, bool create) {
  return UserSettingsFolder(path, create) && Append(path, UserFileName);
}

bool IsFile(const wchar_t* path) {
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The user's file when it exists: then it is the one meant, for reading and
// for writing alike. Never on the 95/98/Me family.
bool ExistingUserFile(wchar_t* path) { return !Host.win9xFamily && UserSettingsFile(path, false) && IsFile(path); }

void FormatValue(char* text, std::int32_t value) { wsprintfA(text, SettingValueFormat, static_cast<long>(value)); }

// Both writes are attempted even when the first fails, so that a partly
// writable file still receives what it can.
bool WriteCurrentFolderFile() {
  char text[SettingTextSize];
  FormatValue(text, SpriteCount);
  BOOL countSaved = WritePrivateProfileStringA(SettingsSection, SpriteCountRule.key, text, SettingsPath);
  FormatValue(text, BackdropMode);
  BOOL modeSaved = WritePrivateProfileStringA(SettingsSection, BackdropModeRule.key, text, SettingsPath);
  return countSaved && modeSaved;
}

BOOL WriteUserSetting(const wchar_t* path, const SettingRule& rule, std::int32_t value) {
  char text[SettingTextSize];
  FormatValue(text, value);
  wchar_t section[SettingTextSize], key[SettingTextSize], wideText[SettingTextSize];
  WidenAscii(section, SettingTextSize, SettingsSection);
  WidenAscii(key, SettingTextSize, rule.key);
  WidenAscii(wideText, SettingTextSize, text);
  return WritePrivateProfileStringW(section, key, wideText, path);
}

bool WriteUserFile(const wchar_t* path) {
  BOOL countSaved = WriteUserSetting(path, SpriteCountRule, SpriteCount);
  BOOL modeSaved = WriteUserSetting(path, BackdropModeRule, BackdropMode);
  return countSaved && modeSaved;
}

void NoteTried(SettingsFilesTried* tried, const wchar_t* path) {
  if (tried == nullptr || tried->count >= 2) return;
  lstrcpynW(tried->paths[tried->count++], path, MAX_PATH);
}

// The current folder's file as the user would look for it: its full path.
void CurrentFolderFile(wchar_t* path) {
  wchar_t relative[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, SettingsPath, -1, relative, MAX_PATH) == 0) relative[0] = L'\0';
  DWORD length = GetFullPathNameW(relative, MAX_PATH, path, nullptr);
  if (length == 0 || length >= MAX_PATH) lstrcpynW(path, relative, MAX_PATH);
}

}  // namespace

std::int32_t ReadSetting(const SettingRule& rule) {
  // The platform returns a UINT that carries the signed value (a stored -5
  // comes back as 0xFFFFFFFB); the range test is a signed one.
  UINT raw;
  wchar_t userFile[MAX_PATH];
  if (ExistingUserFile(userFile)) {
    wchar_t section[SettingTextSize], key[SettingTextSize];
    WidenAscii(section, SettingTextSize, SettingsSection);
    WidenAscii(key, SettingTextSize, rule.key);
    raw = GetPrivateProfileIntW(section, key, rule.fallback, userFile);
  } else {
    raw = GetPrivateProfileIntA(SettingsSection, rule.key, rule.fallback, SettingsPath);
  }
  return HoldSetting(rule, static_cast<std::int32_t>(raw));
}

void ReadSettings() {
  SpriteCount = ReadSetting(SpriteCountRule);
  BackdropMode = ReadSetting(BackdropModeRule);
}

int WriteSettings(SettingsFilesTried* tried) {
  if (tried != nullptr) tried->count = 0;
  if (Host.win9xFamily) {
    if (WriteCurrentFolderFile()) return 0;
    if (tried != nullptr) {
      DWORD length = GetFullPathNameA(SettingsPath, MAX_PATH, tried->ansiPaths[0], nullptr);
      if (length == 0 || length >= MAX_PATH) lstrcpynA(tried->ansiPaths[0], SettingsPath, MAX_PATH);
      tried->count = 1;
    }
    return -1;
  }
  wchar_t userFile[MAX_PATH];
  if (ExistingUserFile(userFile)) {
    // Writing elsewhere now would be shadowed by this file at the next read.
    if (WriteUserFile(userFile)) return 0;
    NoteTried(tried, userFile);
    return -1;
  }
  if (UserSettingsFolder(userFile, true)) {
    // Our folder may exist already (an earlier write, or a file that was
    // removed); any other failure shows in the writes that follow.
    CreateDirectoryW(userFile, nullptr);
    if (Append(userFile, UserFileName)) {
      if (WriteUserFile(userFile)) return 0;
      NoteTried(tried, userFile);
      // Half a file (one key taken) would shadow the one written next.
      DeleteFileW(userFile);
    }
  }
  if (WriteCurrentFolderFile()) return 0;
  wchar_t current[MAX_PATH];
  CurrentFolderFile(current);
  NoteTried(tried, current);
  return -1;
}
