// config_dialog.cpp - see config_dialog.h.
#include "effect/config_dialog.h"

#include <commctrl.h>

#include "effect/settings.h"
#include "resources/dialog_ids.h"

namespace {

static_assert(SliderRangeParameter == 13107220u, "trackbar range 20..200");

void ShowSpriteCount(HWND dialog) {
  char text[SettingTextSize];
  wsprintfA(text, CountLabelFormat, static_cast<int>(SpriteCount));
  SetDlgItemTextA(dialog, IDC_COUNT_LABEL, text);
}

void ReportSaveFailure(HWND dialog) {
  char path[MAX_PATH];
  DWORD length = GetFullPathNameA(SettingsPath, MAX_PATH, path, nullptr);
  if (length == 0 || length >= MAX_PATH) lstrcpynA(path, SettingsPath, MAX_PATH);
  char text[SettingTextSize + MAX_PATH];  // the message is far shorter than SettingTextSize
  FormatSaveFailure(text, static_cast<int>(sizeof text), path);
  MessageBoxA(dialog, text, "Gyrewell", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

int RunConfigDialog(HWND owner) {
  // The slider is a trackbar; the host only asks for the tab classes, so the
  // dialog registers the bar classes itself before its template is loaded.
  INITCOMMONCONTROLSEX classes;
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_BAR_CLASSES;
  if (!InitCommonControlsEx(&classes)) InitCommonControls();
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                                   ConfigDialogProc, 0);
  return static_cast<int>(result);
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SpriteCount = ReadSetting(SpriteCountRule);
      SendDlgItemMessageA(dialog, IDC_COUNT_SLIDER, TBM_SETRANGE, FALSE, static_cast<LPARAM>(SliderRangeParameter));
      SendDlgItemMessageA(dialog, IDC_COUNT_SLIDER, TBM_SETPOS, TRUE, SpriteCount);
      SendDlgItemMessageA(dialog, IDC_COUNT_SLIDER, TBM_SETPAGESIZE, 0, SliderPageSize);
      ShowSpriteCount(dialog);
      BackdropMode = ReadSetting(BackdropModeRule);
      CheckRadioButton(dialog, IDC_DESKTOP_RADIO, IDC_BLACK_RADIO, BackdropMode == BackdropBlack ? IDC_BLACK_RADIO : IDC_DESKTOP_RADIO);
      return TRUE;  // focus to the first tab stop, OK

    case WM_HSCROLL:
      SpriteCount = CountFromSliderPosition(SendDlgItemMessageA(dialog, IDC_COUNT_SLIDER, TBM_GETPOS, 0, 0));
      ShowSpriteCount(dialog);
      return FALSE;

    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_DESKTOP_RADIO:
          BackdropMode = BackdropDesktop;
          return FALSE;
        case IDC_BLACK_RADIO:
          BackdropMode = BackdropBlack;
          return FALSE;
        case IDOK:
          // A choice the file did not take must not look saved: stay open so
          // the user can try again (after freeing the file) or cancel.
          if (WriteSettings() != 0) {
            ReportSaveFailure(dialog);
            return TRUE;
          }
          EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        default:
          return FALSE;
      }

    default:
      return FALSE;
  }
}
