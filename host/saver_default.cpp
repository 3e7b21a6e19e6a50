// close_password.cpp - SaverDefaultProc, the password check before closing and
// the password change (see close_password.h; the tables are in host_rules.h).
#include "host/close_password.h"

#include "host/host_rules.h"
#include "host/host_state.h"
#include "host/saver_window.h"

typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND);
typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR, HWND, DWORD, DWORD);

int VerifyBeforeClose(HWND window) {
  switch (BeginVerify(Host, GetTickCount())) {
    case VerifyGate::Refuse:
      return Host.closeAllowed ? 1 : 0;
    case VerifyGate::Allow:
      return 1;
    case VerifyGate::Ask:
      break;
  }
  // Timers queued before the dialog would otherwise run the animation's
  // bookkeeping inside the dialog's own loop.
  MSG pending;
  PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  const LRESULT answer = SendMessageA(window, WM_APP, 0, 0);
  if (EndVerify(Host, answer)) SetCursor(NULL);
  Host.lastVerifyEnd = GetTickCount();
  return Host.closeAllowed ? 1 : 0;
}

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const HostAction action = SaverDefaultRule(Host, message, wParam, lParam);
  if (action.steps & StepHideCursor) SetCursor(NULL);
  if (action.steps & StepPostClose) PostMessageA(window, WM_CLOSE, 0, 0);
  switch (action.finish) {
    case HostFinish::Value:
      return action.value;
    case HostFinish::VerifyClose:
      if (VerifyBeforeClose(window)) break;
      TakeCursorAnchor();
      return 0;
    case HostFinish::AskPassword:
      return reinterpret_cast<VerifyScreenSavePwdProc>(Host.verifyPassword)(window);
    case HostFinish::MouseTravel: {
      // Where the position cannot be read (another desktop has the input),
      // there is no travel to measure: a made-up 0,0 would close the saver.
      POINT cursor;
      if (GetCursorPos(&cursor)) {
        const HostPoint at = {cursor.x, cursor.y};
        if (MouseTravelCloses(Host, at)) PostMessageA(window, WM_CLOSE, 0, 0);
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void ChangeSaverPassword(HWND owner) {
  HMODULE mpr = LoadLibraryA("MPR.DLL");
  if (!mpr) return;
  PwdChangePasswordProc change =
      reinterpret_cast<PwdChangePasswordProc>(reinterpret_cast<void (*)(void)>(GetProcAddress(mpr, "PwdChangePasswordA")));
  if (change) change("SCRSAVE", owner, 0, 0);
  FreeLibrary(mpr);
}
