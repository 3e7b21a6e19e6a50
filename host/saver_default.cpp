// saver_default.cpp - SaverDefaultProc and the password check before closing
// (see saver_default.h; the tables are in host_rules.h).
#include "host/saver_default.h"

#include "host/host_rules.h"
#include "host/host_state.h"

typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND);

void TakeCursorAnchor() {
  // A failed read leaves the anchor where it was rather than moving it to 0,0.
  POINT cursor;
  if (!GetCursorPos(&cursor)) return;
  Host.cursorAnchor.x = cursor.x;
  Host.cursorAnchor.y = cursor.y;
}

int VerifyBeforeClose(HWND window) {
  switch (BeginVerify(Host, GetTickCount())) {
    case VerifyGate::Refuse:
      return Host.closeAllowed ? 1 : 0;
    case VerifyGate::Allow:
      return 1;
    case VerifyGate::Ask:
      break;
  }
  // Timer messages waiting for the window would otherwise be dispatched inside
  // the password dialog's own loop. The system makes a timer message when the
  // queue is examined and a timer is due, one per call; two calls take the
  // ones that can be waiting at this point, as the saver always has.
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
