// host_parent - a preview parent that reports what a preview passes up to it
//
//   host_parent
//
// Creates a visible 200x150 window (class "GyrewellHostParent"), prints
// "parent hwnd=<decimal>", and for every WM_HELP or WM_CONTEXTMENU it receives
// prints "got message=0x<hex> wparam=<decimal> lparam=<decimal>". Ends with exit
// code 0 when it gets WM_CLOSE.
#include "driver_util.h"

namespace {

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_HELP || msg == WM_CONTEXTMENU) {
    std::printf("got message=0x%x wparam=%llu lparam=%lld\n", msg, static_cast<unsigned long long>(wp),
                static_cast<long long>(lp));
    std::fflush(stdout);
    return 0;
  }
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int main() {
  BinaryStdout();
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "GyrewellHostParent";
  if (!RegisterClassA(&wc)) return 1;
  RECT frame = {0, 0, 200, 150};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Host Parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                              50, 50, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              wc.hInstance, nullptr);
  if (!hwnd) return 1;
  std::printf("parent hwnd=%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
  std::fflush(stdout);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
