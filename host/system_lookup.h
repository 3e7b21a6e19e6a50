// system_lookup.h - calls that some Windows versions lack, found by name at
// run time so that the program still loads where they are missing (the 32-bit
// program runs on every Windows since 95; the import table may name only what
// that one exports).
#ifndef GYREWELL_SYSTEM_LOOKUP_H
#define GYREWELL_SYSTEM_LOOKUP_H

#include <windows.h>

// The entry point `name` of a loaded module, as a pointer to the function type
// the caller knows it to have; null when the module or the entry is missing.
template <typename Function>
Function LookUpEntry(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Through a plain function pointer: GetProcAddress's own type is one too,
  // and a direct cast between unrelated function types draws a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

// Registers the common-control classes in `classes` (ICC_...): with
// InitCommonControlsEx where comctl32 has it (version 4.70 and later), else
// with InitCommonControls, which registers every class of the first comctl32
// of Windows 95.
void InitCommonControlClasses(DWORD classes);

#endif
