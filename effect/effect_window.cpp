// effect_window.cpp - the effect's window procedure. For now it draws nothing
// and hands every message straight on to the host's default handling.
#include "effect/effect_window.h"

#include "host/close_password.h"

LRESULT CALLBACK EffectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SaverDefaultProc(window, message, wParam, lParam);
}
