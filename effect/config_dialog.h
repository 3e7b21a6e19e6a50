// config_dialog.h - the configuration dialog (configure mode).
//
// RunConfigDialog runs dialog template 2003 modally with ConfigDialogProc, owned
// by owner (which may be null), and returns the dialog's result: 1 after OK, 0
// after Cancel, Esc or the close box, -1 when the dialog cannot be created.
// It first registers the trackbar class the template's slider needs
// (InitCommonControlsEx with ICC_BAR_CLASSES, or InitCommonControls where the
// former is refused), so the dialog does not depend on what the caller
// initialised. On the NT family the dialog is a Unicode one (DialogBoxParamW):
// its template's texts, the label and the failure message stay UTF-16 all the
// way, so they read the same whatever the system's ANSI code page. On the
// 95/98/Me family, whose wide calls are stubs, they go through the ANSI calls
// in code page 932.
//
// The dialog works directly on SpriteCount and BackdropMode:
//   opening     reads both settings; slider 1042 at SpriteCount in 20..200 with
//               page size 100; label 1043 shows "%d" + ideographic space (U+3000);
//               radio 1044 (desktop) or 1045 (black) checked
//   slider      every WM_HSCROLL, whatever its code, takes the slider position
//               into SpriteCount and the label
//   radios      1044 sets BackdropMode 1, 1045 sets 2
//   OK          writes both keys; ends with 1 only when both were written. When
//               a write fails the dialog stays open and a message box owned by
//               it names the file that could not be written.
//   Cancel      ends with 0 and writes nothing
#ifndef GYREWELL_CONFIG_DIALOG_H
#define GYREWELL_CONFIG_DIALOG_H

#include <windows.h>

int RunConfigDialog(HWND owner);
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
