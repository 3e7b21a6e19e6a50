// host_probe - what the system knows about a running screen saver
//
//   host_probe
//
// Prints "probe running=R foreground=H cursor=C" where R is
// SPI_GETSCREENSAVERRUNNING, H the foreground window (decimal, 0 if none) and C
// the cursor handle that the foreground thread shows (0: no cursor). Exit 0.
#include "driver_util.h"

int main() {
  BinaryStdout();
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  CURSORINFO cursor = {};
  cursor.cbSize = sizeof cursor;
  if (!GetCursorInfo(&cursor)) cursor.hCursor = reinterpret_cast<HCURSOR>(-1);
  std::printf("probe running=%d foreground=%lu cursor=%ld\n", running ? 1 : 0,
              static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetForegroundWindow())),
              static_cast<long>(reinterpret_cast<LONG_PTR>(cursor.hCursor)));
  std::fflush(stdout);
  return 0;
}
