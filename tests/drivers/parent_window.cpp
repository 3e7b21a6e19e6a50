// parent_window - a stand-in for the small preview window of a control panel
//
//   parent_window [--size WxH] [--title TEXT] [--exit-code N]
//                 [--close-after MS] [--run "COMMAND LINE"]
//                 [--fullscreen] [--log-input]
//
// Creates a visible top-level window (class "GyrewellTestParent", client area
// WxH, default 152x112, filled with teal RGB(0,128,128)) and prints
// "parent hwnd=<decimal> ..." (see driver_util.h) as soon as it exists, so a
// test can hand the handle to "Gyrewell.scr /p <hwnd>".
//
// --run starts COMMAND LINE with every "%HWND%" replaced by the decimal handle
// and prints "child pid=N"; when that process ends it prints "child exit=N".
// The window lives until it gets WM_CLOSE (send_message HWND WM_CLOSE) or
// --close-after MS has passed; then it destroys itself, which is what the
// control panel does to a preview. If a child is still running it waits up to
// 5 s for it and prints "child exit=N" or "child exit=timeout". Prints
// "parent exit=N" last and exits with --exit-code (default 0).
//
// --fullscreen makes it a topmost popup over the whole screen, the way a
// saver window sits, and activates it. --log-input prints one line per input
// message it gets: "input WM_KEYDOWN wparam=N", "input WM_MOUSEMOVE x=X y=Y",
// "input WM_LBUTTONDOWN x=X y=Y" (likewise R and M buttons), so a test can
// prove that simulated input reaches a Wine window.
#include "driver_util.h"

#include <string>

namespace {

const char kClassName[] = "GyrewellTestParent";
const UINT_PTR kCloseTimer = 1;
bool LogInput = false;

void LogMouse(const char* name, LPARAM lp) {
  std::printf("input %s x=%d y=%d\n", name, (int)(short)LOWORD(lp), (int)(short)HIWORD(lp));
  std::fflush(stdout);
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (LogInput) {
    switch (msg) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        std::printf("input %s wparam=%llu\n", msg == WM_KEYDOWN ? "WM_KEYDOWN" : "WM_SYSKEYDOWN",
                    (unsigned long long)wp);
        std::fflush(stdout);
        break;
      case WM_MOUSEMOVE: LogMouse("WM_MOUSEMOVE", lp); break;
      case WM_LBUTTONDOWN: LogMouse("WM_LBUTTONDOWN", lp); break;
      case WM_RBUTTONDOWN: LogMouse("WM_RBUTTONDOWN", lp); break;
      case WM_MBUTTONDOWN: LogMouse("WM_MBUTTONDOWN", lp); break;
      default: break;
    }
  }
  switch (msg) {
    case WM_TIMER:
      if (wp == kCloseTimer) {
        KillTimer(hwnd, kCloseTimer);
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

bool ParseSize(const char* text, int* w, int* h) {
  const char* x = std::strchr(text, 'x');
  if (!x) return false;
  std::string left(text, (size_t)(x - text));
  bool ok1 = false;
  bool ok2 = false;
  long long a = ParseNumber(left.c_str(), &ok1);
  long long b = ParseNumber(x + 1, &ok2);
  if (!ok1 || !ok2 || a <= 0 || b <= 0 || a > 8192 || b > 8192) return false;
  *w = (int)a;
  *h = (int)b;
  return true;
}

void ReportChildExit(HANDLE process) {
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  std::printf("child exit=%lu\n", (unsigned long)code);
  std::fflush(stdout);
}

int Usage() {
  std::fprintf(stderr,
               "usage: parent_window [--size WxH] [--title TEXT] [--exit-code N] "
               "[--close-after MS] [--run \"COMMAND LINE\"]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  BinaryStdout();
  int width = 152;
  int height = 112;
  const char* title = "Gyrewell Test Parent";
  long long exitCode = 0;
  long long closeAfter = 0;
  const char* run = nullptr;
  bool fullscreen = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--fullscreen") == 0) {
      fullscreen = true;
      continue;
    }
    if (std::strcmp(argv[i], "--log-input") == 0) {
      LogInput = true;
      continue;
    }
    if (i + 1 >= argc) return Usage();
    const char* a = argv[i];
    const char* v = argv[++i];
    bool ok = true;
    if (std::strcmp(a, "--size") == 0) {
      ok = ParseSize(v, &width, &height);
    } else if (std::strcmp(a, "--title") == 0) {
      title = v;
    } else if (std::strcmp(a, "--exit-code") == 0) {
      exitCode = ParseNumber(v, &ok);
    } else if (std::strcmp(a, "--close-after") == 0) {
      closeAfter = ParseNumber(v, &ok);
      ok = ok && closeAfter > 0;
    } else if (std::strcmp(a, "--run") == 0) {
      run = v;
    } else {
      return Usage();
    }
    if (!ok) return Usage();
  }

  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(RGB(0, 128, 128));
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) {
    std::printf("error=register-class\n");
    return 1;
  }
  HWND hwnd = nullptr;
  if (fullscreen) {
    hwnd = CreateWindowExA(WS_EX_TOPMOST, kClassName, title, WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                           nullptr, instance, nullptr);
  } else {
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    hwnd = CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                           instance, nullptr);
  }
  if (!hwnd) {
    std::printf("error=create-window\n");
    return 1;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  if (fullscreen) SetForegroundWindow(hwnd);
  PrintWindowLine("parent", hwnd);
  if (closeAfter > 0) SetTimer(hwnd, kCloseTimer, (UINT)closeAfter, nullptr);

  PROCESS_INFORMATION child = {};
  bool childRunning = false;
  if (run) {
    std::string line = run;
    char handleText[32];
    wsprintfA(handleText, "%I64d", (long long)(INT_PTR)hwnd);
    for (size_t at = line.find("%HWND%"); at != std::string::npos; at = line.find("%HWND%", at)) {
      line.replace(at, 6, handleText);
      at += std::strlen(handleText);
    }
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string mutableLine = line;
    if (!CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &child)) {
      std::printf("child error=%lu\n", (unsigned long)GetLastError());
    } else {
      childRunning = true;
      std::printf("child pid=%lu\n", (unsigned long)child.dwProcessId);
    }
    std::fflush(stdout);
  }

  for (;;) {
    DWORD handles = childRunning ? 1 : 0;
    DWORD w = MsgWaitForMultipleObjects(handles, &child.hProcess, FALSE, INFINITE, QS_ALLINPUT);
    if (childRunning && w == WAIT_OBJECT_0) {
      ReportChildExit(child.hProcess);
      childRunning = false;
      continue;
    }
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (quit) break;
  }

  if (childRunning) {
    if (WaitForSingleObject(child.hProcess, 5000) == WAIT_OBJECT_0) {
      ReportChildExit(child.hProcess);
    } else {
      std::printf("child exit=timeout\n");
    }
  }
  if (child.hProcess) {
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
  }
  std::printf("parent exit=%lld\n", exitCode);
  std::fflush(stdout);
  return (int)exitCode;
}
