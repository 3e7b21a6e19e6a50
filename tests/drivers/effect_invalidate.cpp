// effect_invalidate - make another program's window repaint itself
//
//   effect_invalidate HWND [LEFT TOP RIGHT BOTTOM]
//
// Invalidates the whole client area (or the given rectangle) of HWND, with
// erasing, as uncovering the window would, and prints "invalidated=1". The
// window's own thread then gets WM_PAINT. Exit code 0 when the window took
// the request, 1 when HWND names no window or the call failed, 2 on bad usage.
#include "driver_util.h"

int main(int argc, char** argv) {
  BinaryStdout();
  if (argc != 2 && argc != 6) {
    std::fprintf(stderr, "usage: effect_invalidate HWND [LEFT TOP RIGHT BOTTOM]\n");
    return 2;
  }
  bool ok = false;
  HWND hwnd = ParseHwnd(argv[1], &ok);
  if (!ok) return 2;
  if (!IsWindow(hwnd)) {
    std::printf("error=no-such-window\n");
    return 1;
  }
  RECT box = {0, 0, 0, 0};
  RECT* area = nullptr;
  if (argc == 6) {
    LONG* edges[4] = {&box.left, &box.top, &box.right, &box.bottom};
    for (int i = 0; i < 4; ++i) {
      *edges[i] = (LONG)ParseNumber(argv[2 + i], &ok);
      if (!ok) return 2;
    }
    area = &box;
  }
  if (!InvalidateRect(hwnd, area, TRUE)) {
    std::printf("error=%lu\n", (unsigned long)GetLastError());
    return 1;
  }
  std::printf("invalidated=1\n");
  std::fflush(stdout);
  return 0;
}
