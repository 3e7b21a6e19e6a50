// saver_window.cpp - the saver window, its class procedure and the legacy
// password module (see saver_window.h; the message table is in host_rules.h).
#include "host/saver_window.h"

#include "effect/effect_window.h"
#include "host/host_rules.h"
#include "host/legacy_password.h"
#include "host/saver_default.h"
#include "host/test_hooks.h"

// The portable rules name these numbers without <windows.h>.
static_assert(MsgCreate == WM_CREATE && MsgDestroy == WM_DESTROY && MsgSetText == WM_SETTEXT &&
                  MsgPaint == WM_PAINT && MsgClose == WM_CLOSE && MsgShowWindow == WM_SHOWWINDOW &&
                  MsgActivateApp == WM_ACTIVATEAPP && MsgSetCursor == WM_SETCURSOR && MsgPower == WM_POWER &&
                  MsgHelp == WM_HELP && MsgContextMenu == WM_CONTEXTMENU && MsgKeyDown == WM_KEYDOWN &&
                  MsgSysKeyDown == WM_SYSKEYDOWN && MsgSysCommand == WM_SYSCOMMAND && MsgTimer == WM_TIMER &&
                  MsgMouseMove == WM_MOUSEMOVE && MsgLButtonDown == WM_LBUTTONDOWN &&
                  MsgRButtonDown == WM_RBUTTONDOWN && MsgMButtonDown == WM_MBUTTONDOWN &&
                  MsgPowerBroadcast == WM_POWERBROADCAST && MsgApp == WM_APP && MsgDisplayChange == WM_DISPLAYCHANGE &&
                  MsgDpiChanged == WM_DPICHANGED,
              "message numbers");
static_assert(ScNextWindow == SC_NEXTWINDOW && ScPrevWindow == SC_PREVWINDOW && ScScreenSave == SC_SCREENSAVE &&
                  ScMonitorPower == SC_MONITORPOWER && PwrCriticalResume == PWR_CRITICALRESUME,
              "system command numbers");
static_assert(PbtQuerySuspend == PBT_APMQUERYSUSPEND && PbtQueryStandby == PBT_APMQUERYSTANDBY &&
                  PbtQuerySuspendFailed == PBT_APMQUERYSUSPENDFAILED &&
                  PbtQueryStandbyFailed == PBT_APMQUERYSTANDBYFAILED && PbtSuspend == PBT_APMSUSPEND &&
                  PbtStandby == PBT_APMSTANDBY && PbtResumeCritical == PBT_APMRESUMECRITICAL &&
                  PbtResumeSuspend == PBT_APMRESUMESUSPEND && PbtResumeStandby == PBT_APMRESUMESTANDBY &&
                  PbtBatteryLow == PBT_APMBATTERYLOW && PbtPowerStatusChange == PBT_APMPOWERSTATUSCHANGE &&
                  PbtOemEvent == PBT_APMOEMEVENT && PbtResumeAutomatic == PBT_APMRESUMEAUTOMATIC &&
                  PbtPowerSettingChange == PBT_POWERSETTINGCHANGE &&
                  PbtfResumeFromFailure == PBTF_APMRESUMEFROMFAILURE,
              "power events");

static const char SaverClassName[] = "WindowsScreenSaverClass";
static const char SaverTitle[] = "Screen Saver";
static const char PreviewTitle[] = "Preview";

typedef HIMC(WINAPI* ImmAssociateContextProc)(HWND, HIMC);

template <typename Proc>
static Proc EntryAs(HostEntryPoint entry) {
  return reinterpret_cast<Proc>(entry);
}

static HostEntryPoint LookUp(HMODULE module, const char* name) {
  return reinterpret_cast<HostEntryPoint>(GetProcAddress(module, name));
}

static void DetachInputMethod(HWND window) {
  HMODULE imm = GetModuleHandleA("IMM32.DLL");
  Host.imeModule = imm;
  if (!imm) return;
  Host.associateContext = LookUp(imm, "ImmAssociateContext");
  if (!Host.associateContext) return;
  Host.savedInputContext = EntryAs<ImmAssociateContextProc>(Host.associateContext)(window, NULL);
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
#if defined(GYREWELL_TEST_HOOKS)
  if ((HostTestFault == 'c' && message == WM_CREATE) || (HostTestFault == 'k' && message == WM_KEYDOWN)) {
    FaultOnPurpose();
  }
#endif
  const HostAction action = SaverWindowRule(Host, message, wParam);
  if (action.steps & StepDetachIme) DetachInputMethod(window);
  if (action.steps & StepTakeAnchor) TakeCursorAnchor();
  if (action.steps & StepHideCursor) SetCursor(NULL);
  if (action.steps & StepRestoreIme) {
    EntryAs<ImmAssociateContextProc>(Host.associateContext)(window, static_cast<HIMC>(Host.savedInputContext));
  }
  if (action.steps & StepPostQuit) PostQuitMessage(0);
  if (action.steps & StepPostClose) PostMessageA(window, WM_CLOSE, 0, 0);
  if (action.steps & StepNotifyParent) {
    HWND parent = GetParent(window);
    if (parent && IsWindow(parent)) PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
  }
  if (action.steps & StepYield) Sleep(0);
  switch (action.finish) {
    case HostFinish::Value:
      return action.value;
    case HostFinish::Default:
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return EffectWindowProc(window, message, wParam, lParam);
  }
}

int RunSaverWindow(HWND parent) {
  HINSTANCE instance = static_cast<HINSTANCE>(Host.instance);
  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = SaverWindowProc;
  windowClass.hInstance = instance;
  // The icon resource is named "ICON1", so number 100 finds nothing and the
  // class has no icon. A saver's window has no caption, taskbar button or
  // Alt+Tab entry that would show one; the lookup is kept as the saver has
  // always made it, and the icon still names the file in Explorer.
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(100));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = SaverClassName;

  DWORD exStyle, style;
  const char* title;
  int left = 0, top = 0, width, height;
  if (parent) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(parent, &client);
    width = client.right;
    height = client.bottom;
    exStyle = 0;
    style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    title = PreviewTitle;
    Host.previewMode = true;
  } else {
    left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width == 0 || height == 0) {
      RECT box = {0, 0, 0, 0};
      HDC screen = GetDC(NULL);
      GetClipBox(screen, &box);
      ReleaseDC(NULL, screen);
      left = box.left;
      top = box.top;
      width = box.right - box.left;
      height = box.bottom - box.top;
    }
    exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    title = SaverTitle;
    HWND running = FindWindowA(SaverClassName, SaverTitle);
    if (running && IsWindow(running)) {
      SetForegroundWindow(running);
      return 0;
    }
    LoadPasswordSettings();
  }

  if (RegisterClassA(&windowClass)) {
    Host.saverWindow = CreateWindowExA(exStyle, SaverClassName, title, style, left, top, width, height, parent, NULL,
                                       instance, NULL);
  }
  int result = 0;
  HWND window = static_cast<HWND>(Host.saverWindow);
  if (window) {
    if (!Host.previewMode) SetForegroundWindow(window);
    MSG message = {};
    // GetMessageA answers -1 on failure; looping on it would spin for ever.
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (message.message == WM_QUIT) result = static_cast<int>(message.wParam);
  }
  UnloadPasswordModule();
  return result;
}
