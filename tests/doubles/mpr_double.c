/* mpr_double.c - an "MPR.DLL" whose PwdChangePasswordA records its arguments
 * in change.log (current directory) and shows nothing:
 *   change provider=P owner=H flags=F reserved=R */
#include <windows.h>
#include <stdio.h>

__declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD flags, DWORD reserved) {
  FILE* log = fopen("change.log", "ab");
  if (log) {
    fprintf(log, "change provider=%s owner=%lu flags=%lu reserved=%lu\n", provider ? provider : "(null)",
            (unsigned long)(ULONG_PTR)owner, (unsigned long)flags, (unsigned long)reserved);
    fclose(log);
  }
  return 0;
}
