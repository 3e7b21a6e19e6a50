// close_password.h - the end of the saver window's message chain: input, power
// events and close requests, and the legacy password check and change.
//
// SaverDefaultProc is called by the effect for every message, after its own
// handling, and ends in DefWindowProcA. Its table is in host_rules.h
// (SaverDefaultRule): key and button presses, deactivation, mouse travel of 5
// pixels or more and most power events post WM_CLOSE; a preview never closes on
// input.
//
// VerifyBeforeClose(window) decides a WM_CLOSE on the Windows 95/98/Me family:
// non-zero lets the window be destroyed. With a password in force it asks the
// verifier through WM_APP sent to the window (so the request passes the whole
// chain), refuses while a dialog runs and for 200 ms after one ended.
//
// ChangeSaverPassword(owner) runs "MPR.DLL" PwdChangePasswordA("SCRSAVE", owner,
// 0, 0) when the library and entry point exist; otherwise nothing is shown.
#ifndef GYREWELL_CLOSE_PASSWORD_H
#define GYREWELL_CLOSE_PASSWORD_H

#include <windows.h>

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int VerifyBeforeClose(HWND window);
void ChangeSaverPassword(HWND owner);

#endif
