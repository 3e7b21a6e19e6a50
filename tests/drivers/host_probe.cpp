// host_probe - what the system knows about a running screen saver
//
//   host_probe
//
// Prints "probe running=R foreground=H" where R is SPI_GETSCREENSAVERRUNNING
// and H the foreground window (decimal, 0 if none). Exit code 0.
#include "driver_util.h"

int main() {
  BinaryStdout();
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  std::printf("probe running=%d foreground=%lu\n", running ? 1 : 0,
              static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetForegroundWindow())));
  std::fflush(stdout);
  return 0;
}
