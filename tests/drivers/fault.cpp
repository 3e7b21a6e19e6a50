// fault - a program that faults outside any handler of its own, as a program
// that crashes does; the harness expects Wine to end it at once with the
// fault's code (0xC0000005, exit status 5), never to wait for a debugger.
#include "driver_util.h"

int main() {
  void (*volatile nowhere)() = nullptr;
  nowhere();
  return 0;
}
