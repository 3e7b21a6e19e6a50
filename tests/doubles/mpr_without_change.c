/* mpr_without_change.c - an "MPR.DLL" that lacks PwdChangePasswordA. */
#include <windows.h>

__declspec(dllexport) DWORD WINAPI PwdGetPasswordStatusA(LPCSTR provider, DWORD index, LPVOID status) {
  (void)provider;
  (void)index;
  (void)status;
  return ERROR_NOT_SUPPORTED;
}
