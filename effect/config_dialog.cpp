// config_dialog.cpp - see config_dialog.h.
#include "effect/config_dialog.h"

#include <commctrl.h>

#include "effect/settings.h"
#include "host/host_state.h"
#include "host/system_lookup.h"
#include "resources/dialog_ids.h"

namespace {

static_assert(SliderRangeParameter == 13107220u, "trackbar range 20..200");
static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide calls take UTF-16");

// On the NT family the dialog's texts are UTF-16 from the template to the
// screen: through the ANSI calls they would be turned into the system's code
// page, and every Japanese character would come out as "?" on a Western
// system. The 95/98/Me family has only stubs for the wide calls, so there the
// dialog, its label and its message go through the ANSI calls, their texts in
// code page 932: they read on a Japanese system, as they always have. Which
// family it is, the host recorded at start-up.

void ShowSpriteCount(HWND dialog) {
  if (Host.win9xFamily) {
    char text[SettingTextSize];
    wsprintfA(text, CountLabelFormatCp932, static_cast<int>(SpriteCount));
    SetDlgItemTextA(dialog, IDC_COUNT_LABEL, text);
    return;
  }
  wchar_t text[SettingTextSize];
  wsprintfW(text, CountLabelFormat, static_cast<int>(SpriteCount));
  SetDlgItemTextW(dialog, IDC_COUNT_LABEL, text);
}

// Copies a zero-terminated UTF-16 text between the platform's and the portable
// code's character types.
template <typename To, typename From>
void CopyText(To* to, const From* from) {
  int i = 0;
  do to[i] = static_cast<To>(from[i]);
  while (from[i++] != 0);
}

void ReportSaveFailure(HWND dialog, const SettingsFilesTried& tried) {
  if (Host.win9xFamily) {
    const char* paths[1] = {tried.ansiPaths[0]};
    char text[SettingTextSize + MAX_PATH];
    FormatSaveFailure(text, static_cast<int>(sizeof text), paths, tried.count < 1 ? 0 : 1);
    MessageBoxA(dialog, text, "Gyrewell", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  char16_t portablePaths[2][MAX_PATH];
  const char16_t* paths[2];
  for (int i = 0; i < tried.count; ++i) {
    CopyText(portablePaths[i], tried.paths[i]);
    paths[i] = portablePaths[i];
  }
  char16_t message[SettingTextSize + 2 * MAX_PATH];  // the text itself is far shorter than SettingTextSize
  FormatSaveFailure(message, static_cast<int>(sizeof message / sizeof message[0]), paths, tried.count);
  wchar_t text[SettingTextSize + 2 * MAX_PATH];
  CopyText(text, message);
  MessageBoxW(dialog, text, L"Gyrewell", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

int RunConfigDialog(HWND owner) {
  // The slider is a trackbar; the host only asks for the tab classes, so the
  // dialog registers the bar classes itself before its template is loaded.
  InitCommonControlClasses(ICC_BAR_CLASSES);
  if (Host.win9xFamily) {
    return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                                            ConfigDialogProc, 0));
  }
  return static_cast<int>(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                                          ConfigDialogProc, 0));
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
        case IDOK: {
          // A choice no file took must not look saved: stay open so the
          // user can try again (after freeing the file) or cancel.
          SettingsFilesTried tried;
          if (WriteSettings(&tried) != 0) {
            ReportSaveFailure(dialog, tried);
            return TRUE;
          }
          EndDialog(dialog, 1);
          return TRUE;
        }
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
