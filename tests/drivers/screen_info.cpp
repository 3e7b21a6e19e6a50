// screen_info - what a Win32 program sees of the display
//
//   screen_info
//
// Prints "screen width=W height=H bpp=B virtual=X,Y,W,H cursor=X,Y
// desktop=HWND cwd=\"DIR\"": the primary screen size, bits per pixel of the
// screen device context, the virtual screen rectangle, the cursor position,
// the desktop window's handle (decimal) and the current directory as Windows
// sees it. Always exits 0.
#include "driver_util.h"

int main() {
  BinaryStdout();
  HDC screen = GetDC(nullptr);
  int bpp = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  POINT cursor = {0, 0};
  GetCursorPos(&cursor);
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  std::printf("screen width=%d height=%d bpp=%d virtual=%d,%d,%d,%d cursor=%ld,%ld desktop=%llu cwd=\"%s\"\n",
              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), bpp,
              GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
              GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
              cursor.x, cursor.y, static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetDesktopWindow())), cwd);
  std::fflush(stdout);
  return 0;
}
