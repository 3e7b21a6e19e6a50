// saver_window.h - the saver window: class, creation, message loop, and the
// legacy password module and running flag of the Windows 95/98/Me family.
//
// RunSaverWindow(parent)
//   parent null: saver mode. A running saver (class "WindowsScreenSaverClass",
//   title "Screen Saver") is brought to the front instead and the result is 0.
//   Otherwise the password settings are loaded, and a topmost tool popup covers
//   the virtual screen (the screen's clip box where the system reports no
//   virtual-screen size).
//   parent given: preview mode, a child titled "Preview" filling the parent's
//   client area.
//   Then the message loop runs until the window is destroyed; the password module
//   is unloaded and the quit code (0) returned. 0 also when no window could be
//   made.
//
// SaverWindowProc is the class window procedure, in front of EffectWindowProc;
// its table is in host_rules.h (SaverWindowRule). The password module is
// legacy_password.h's.
#ifndef GYREWELL_SAVER_WINDOW_H
#define GYREWELL_SAVER_WINDOW_H

#include <windows.h>

int RunSaverWindow(HWND parent);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
