// driver_util.h - shared bits of the end-to-end driver programs
//
// Drivers are console programs run under Wine by tests/e2e/lib.sh. They talk
// to the test through stdout (one "key=value ..." line per fact, flushed at
// once because stdout goes to a file) and through their exit code:
//   0 the thing asked for happened, 1 it did not (not found, timed out),
//   2 the command line was wrong.
#ifndef GYREWELL_DRIVER_UTIL_H
#define GYREWELL_DRIVER_UTIL_H

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Plain "\n" line ends: the C runtime would write "\r\n" to a file in text mode.
static inline void BinaryStdout() { _setmode(_fileno(stdout), _O_BINARY); }

// Accepts decimal, "0x" hex and a leading minus; 0 with *ok = false on junk.
static inline long long ParseNumber(const char* text, bool* ok) {
  char* end = nullptr;
  long long value = std::strtoll(text, &end, 0);
  *ok = (end != text && *end == '\0');
  return value;
}

static inline HWND ParseHwnd(const char* text, bool* ok) {
  long long value = ParseNumber(text, ok);
  return (HWND)(INT_PTR)value;
}

static inline void PrintWindowLine(const char* tag, HWND hwnd) {
  char cls[256] = "";
  char title[512] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  GetWindowTextA(hwnd, title, sizeof title);
  // Quotes inside a title would break the test's parsing; they are rare
  // enough in window titles that replacing them is the honest choice.
  for (char* c = title; *c; ++c) {
    if (*c == '"') *c = '\'';
  }
  RECT rc = {0, 0, 0, 0};
  RECT client = {0, 0, 0, 0};
  GetWindowRect(hwnd, &rc);
  GetClientRect(hwnd, &client);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  LONG_PTR exstyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
  HWND parent = GetAncestor(hwnd, GA_PARENT);
  if (parent == GetDesktopWindow()) parent = nullptr;
  HWND owner = GetWindow(hwnd, GW_OWNER);
  std::printf(
      "%s hwnd=%lld pid=%lu class=\"%s\" title=\"%s\" rect=%ld,%ld,%ld,%ld "
      "client=%ldx%ld visible=%d topmost=%d id=%lld parent=%lld owner=%lld "
      "style=0x%08llx exstyle=0x%08llx\n",
      tag, (long long)(INT_PTR)hwnd, (unsigned long)pid, cls, title, rc.left,
      rc.top, rc.right, rc.bottom, client.right - client.left,
      client.bottom - client.top, IsWindowVisible(hwnd) ? 1 : 0,
      (exstyle & WS_EX_TOPMOST) ? 1 : 0,
      (long long)GetWindowLongPtrA(hwnd, GWLP_ID), (long long)(INT_PTR)parent,
      (long long)(INT_PTR)owner, (unsigned long long)(ULONG_PTR)style,
      (unsigned long long)(ULONG_PTR)exstyle);
  std::fflush(stdout);
}

#endif
