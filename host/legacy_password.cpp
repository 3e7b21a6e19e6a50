// legacy_password.cpp - see legacy_password.h.
#include "host/legacy_password.h"

#include "host/host_state.h"

typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR, HWND, DWORD, DWORD);

void SetScreenSaverRunning(bool running) {
  if (!Host.win9xFamily) return;
  UINT previous = 0;  // the old state is of no interest
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, &previous, 0);
}

void UnloadPasswordModule() {
  if (!Host.win9xFamily || !Host.passwordModule) return;
  FreeLibrary(static_cast<HMODULE>(Host.passwordModule));
  Host.passwordModule = NULL;
  if (Host.verifyPassword) {
    Host.verifyPassword = NULL;
    SetScreenSaverRunning(false);
  }
}

void LoadPasswordSettings() {
  if (!Host.win9xFamily) return;
  if (Host.passwordModule) UnloadPasswordModule();
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  DWORD usePassword = 0;
  DWORD size = sizeof usePassword;
  if (RegQueryValueExA(key, "ScreenSaveUsePassword", NULL, NULL, reinterpret_cast<BYTE*>(&usePassword), &size) ==
          ERROR_SUCCESS &&
      usePassword != 0) {
    HMODULE module = LoadLibraryA("PASSWORD.CPL");
    Host.passwordModule = module;
    if (module) {
      Host.verifyPassword = reinterpret_cast<HostEntryPoint>(GetProcAddress(module, "VerifyScreenSavePwd"));
      if (Host.verifyPassword) {
        SetScreenSaverRunning(true);
      } else {
        UnloadPasswordModule();
      }
    }
  }
  RegCloseKey(key);
}

void ChangeSaverPassword(HWND owner) {
  HMODULE mpr = LoadLibraryA("MPR.DLL");
  if (!mpr) return;
  PwdChangePasswordProc change =
      reinterpret_cast<PwdChangePasswordProc>(reinterpret_cast<void (*)(void)>(GetProcAddress(mpr, "PwdChangePasswordA")));
  if (change) change("SCRSAVE", owner, 0, 0);
  FreeLibrary(mpr);
}
