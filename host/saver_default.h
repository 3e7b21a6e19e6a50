// saver_default.h - the end of the saver window's message chain: input, power
// events and close requests, and the legacy password check before closing.
//
// The host and the effect meet in one chain, as in the classic screen-saver
// library: the host's SaverWindowProc calls the effect's EffectWindowProc,
// which acts on what it cares for and ends every message here. Nothing here
// calls back into the saver window or the effect.
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
// TakeCursorAnchor() stores the cursor position in Host.cursorAnchor, where
// mouse travel is measured from: at window creation and after a refused close.
#ifndef GYREWELL_SAVER_DEFAULT_H
#define GYREWELL_SAVER_DEFAULT_H

#include <windows.h>

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int VerifyBeforeClose(HWND window);
void TakeCursorAnchor();

#endif
