// legacy_password.h - the screen-saver password of the Windows 95/98/Me family.
//
// Those systems keep the password in their own components; the saver only
// loads them. Everything here does nothing outside that family.
//
// LoadPasswordSettings: with "ScreenSaveUsePassword" non-zero under
// HKCU\Control Panel\Desktop, "PASSWORD.CPL" is loaded and its
// "VerifyScreenSavePwd" kept in Host.verifyPassword, and the system's
// screen-saver-running flag is set. The flag is on exactly while a verifier is
// held: UnloadPasswordModule frees the module and clears it.
//
// SetScreenSaverRunning tells the system the saver runs (it then ignores
// Ctrl+Alt+Del and task switching, so the password cannot be bypassed).
//
// ChangeSaverPassword(owner) runs "MPR.DLL" PwdChangePasswordA("SCRSAVE", owner,
// 0, 0) when the library and entry point exist; otherwise nothing is shown.
#ifndef GYREWELL_LEGACY_PASSWORD_H
#define GYREWELL_LEGACY_PASSWORD_H

#include <windows.h>

void LoadPasswordSettings();
void UnloadPasswordModule();
void SetScreenSaverRunning(bool running);
void ChangeSaverPassword(HWND owner);

#endif
