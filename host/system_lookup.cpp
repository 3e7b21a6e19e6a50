// system_lookup.cpp - see system_lookup.h.
#include "host/system_lookup.h"

#include <commctrl.h>

void InitCommonControlClasses(DWORD classes) {
  INITCOMMONCONTROLSEX request;
  request.dwSize = sizeof request;
  request.dwICC = classes;
#if defined(_WIN64)
  // Every 64-bit Windows has it; the 64-bit program imports it.
  if (InitCommonControlsEx(&request)) return;
#else
  // comctl32 is loaded: the program imports InitCommonControls from it.
  typedef BOOL(WINAPI * InitExProc)(const INITCOMMONCONTROLSEX*);
  InitExProc initEx = LookUpEntry<InitExProc>(GetModuleHandleA("COMCTL32.DLL"), "InitCommonControlsEx");
  if (initEx != nullptr && initEx(&request)) return;
#endif
  InitCommonControls();
}
