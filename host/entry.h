// entry.h - process entry and mode selection.
//
// StartHost is the whole program: it cuts the program name off GetCommandLineA,
// runs SelectSaverMode and ends the process with its result. Exit codes:
//   settings dialog      the dialog's result (-1 if it cannot be created)
//   saver, preview       0 (also when another saver runs or no window is made)
//   bad switch letter, preview handle 0 or not a window, /a outside the
//   Windows 95/98/Me family, or a fault inside the mode        -1
//   /a on that family    0
//
// SelectSaverMode prepares the process (heap termination on corruption, common
// controls, instance, platform family) and then, inside the exception guard,
// scans the switch (command_tail.h) and runs one mode.
//
// The exception guard. With MSVC it is __try/__except with UnhandledExceptionFilter
// as filter. Elsewhere (MinGW has no __try) the guard marks its own place on
// entry and installs an unhandled-exception filter; a vectored handler (where
// the system has them: Windows XP and later) also hands that filter the faults
// raised by this program's own code, because a fault inside a window procedure
// called back by the system (WM_CREATE from CreateWindowExA, for one) would
// otherwise be swallowed by a 64-bit system's callback dispatcher and never
// reach the top. The filter goes through UnhandledExceptionFilter's decision
// (so an attached debugger still sees the fault) and, when the handler is to
// run, resumes at the guard's place, where it clears the screen-saver-running
// flag and answers -1. The place is a context captured with RtlCaptureContext
// on 64-bit Windows; on 32-bit x86, which must run on Windows 95, a
// __builtin_setjmp mark (see entry.cpp).
#ifndef GYREWELL_ENTRY_H
#define GYREWELL_ENTRY_H

#include <windows.h>

void StartHost();
int SelectSaverMode(HINSTANCE instance, const char* tail);
void HardenProcessHeap();
int RunPreview(const char* text);

#endif
