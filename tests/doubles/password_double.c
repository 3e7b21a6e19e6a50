/* password_double.c - a scripted "PASSWORD.CPL" for the end-to-end tests.
 *
 * VerifyScreenSavePwd(window) shows no dialog, but puts up the arrow cursor
 * as a dialog would. Its answers come from the
 * environment variable GYREWELL_VERIFY_ANSWERS, a comma-separated list with one
 * entry per call (the last entry repeats; unset means "1"). An entry is 0
 * (refused) or 1 (accepted), optionally followed by
 *   p  post WM_CLOSE to the window just before answering: a close request that
 *      arrives right after the dialog has ended
 *   n  post WM_CLOSE to the window and run a message loop for 300 ms before
 *      answering, as a modal dialog would: a close request while it runs
 * Every call appends one line to verify.log in the current directory:
 *   verify call=N window=H running=R answer=A
 * where R is what SPI_GETSCREENSAVERRUNNING reports during the call. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int calls = 0;

static const char* Entry(int index) {
  static char entry[16];
  const char* list = getenv("GYREWELL_VERIFY_ANSWERS");
  const char* at;
  int i;
  if (!list || !*list) return "1";
  at = list;
  for (i = 0; i < index; ++i) {
    const char* comma = strchr(at, ',');
    if (!comma) break;
    at = comma + 1;
  }
  for (i = 0; at[i] && at[i] != ',' && i < 15; ++i) entry[i] = at[i];
  entry[i] = '\0';
  return entry;
}

static void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  }
}

__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  const char* entry = Entry(calls++);
  const int answer = entry[0] == '1';
  BOOL running = FALSE;
  FILE* log;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(32512))); /* IDC_ARROW */
  if (strchr(entry, 'n')) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    Pump(300);
  }
  log = fopen("verify.log", "ab");
  if (log) {
    fprintf(log, "verify call=%d window=%lu running=%d answer=%d\n", calls, (unsigned long)(ULONG_PTR)window,
            running ? 1 : 0, answer);
    fclose(log);
  }
  if (strchr(entry, 'p')) PostMessageA(window, WM_CLOSE, 0, 0);
  return answer;
}
