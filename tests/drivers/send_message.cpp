// send_message - send or post one window message from outside the program
//
//   send_message [--post] [--timeout MS] HWND MESSAGE [WPARAM [LPARAM]]
//
// MESSAGE is a number or one of the names in the table below. WPARAM and
// LPARAM are numbers (decimal, 0x hex, negative allowed); LPARAM may also be
// "X,Y", packed like MAKELPARAM for mouse messages. A sent message prints
// "result=N" and fails (exit 1) when the window does not answer within the
// timeout (default 5000 ms); a posted one prints "posted=1". Exit 1 also when
// HWND names no window, 2 on bad usage.
#include "driver_util.h"

#include <commctrl.h>

namespace {

struct NamedMessage {
  const char* name;
  UINT value;
};

const NamedMessage kMessages[] = {
    {"WM_NULL", WM_NULL},
    {"WM_DESTROY", WM_DESTROY},
    {"WM_ACTIVATE", WM_ACTIVATE},
    {"WM_PAINT", WM_PAINT},
    {"WM_CLOSE", WM_CLOSE},
    {"WM_QUIT", WM_QUIT},
    {"WM_ACTIVATEAPP", WM_ACTIVATEAPP},
    {"WM_SETCURSOR", WM_SETCURSOR},
    {"WM_NCACTIVATE", WM_NCACTIVATE},
    {"WM_KEYDOWN", WM_KEYDOWN},
    {"WM_KEYUP", WM_KEYUP},
    {"WM_CHAR", WM_CHAR},
    {"WM_SYSKEYDOWN", WM_SYSKEYDOWN},
    {"WM_COMMAND", WM_COMMAND},
    {"WM_SYSCOMMAND", WM_SYSCOMMAND},
    {"WM_TIMER", WM_TIMER},
    {"WM_HSCROLL", WM_HSCROLL},
    {"WM_MOUSEMOVE", WM_MOUSEMOVE},
    {"WM_LBUTTONDOWN", WM_LBUTTONDOWN},
    {"WM_LBUTTONUP", WM_LBUTTONUP},
    {"WM_RBUTTONDOWN", WM_RBUTTONDOWN},
    {"WM_MBUTTONDOWN", WM_MBUTTONDOWN},
    {"WM_POWERBROADCAST", WM_POWERBROADCAST},
    {"WM_APP", WM_APP},
    {"BM_CLICK", BM_CLICK},
    {"BM_GETCHECK", BM_GETCHECK},
    {"TBM_GETPOS", TBM_GETPOS},
    {"TBM_SETPOS", TBM_SETPOS},
    {"TBM_GETRANGEMIN", TBM_GETRANGEMIN},
    {"TBM_GETRANGEMAX", TBM_GETRANGEMAX},
};

bool ParseMessage(const char* text, UINT* out) {
  for (const NamedMessage& m : kMessages) {
    if (lstrcmpiA(text, m.name) == 0) {
      *out = m.value;
      return true;
    }
  }
  bool ok = false;
  long long v = ParseNumber(text, &ok);
  *out = (UINT)v;
  return ok;
}

bool ParseLparam(const char* text, LPARAM* out) {
  const char* comma = std::strchr(text, ',');
  bool ok = false;
  if (!comma) {
    *out = (LPARAM)ParseNumber(text, &ok);
    return ok;
  }
  char left[32];
  size_t n = (size_t)(comma - text);
  if (n == 0 || n >= sizeof left) return false;
  std::memcpy(left, text, n);
  left[n] = '\0';
  bool okY = false;
  long long x = ParseNumber(left, &ok);
  long long y = ParseNumber(comma + 1, &okY);
  *out = MAKELPARAM((WORD)(short)x, (WORD)(short)y);
  return ok && okY;
}

int Usage() {
  std::fprintf(stderr,
               "usage: send_message [--post] [--timeout MS] HWND MESSAGE [WPARAM [LPARAM]]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  BinaryStdout();
  bool post = false;
  long long timeoutMs = 5000;
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    bool ok = true;
    if (std::strcmp(argv[i], "--post") == 0) {
      post = true;
    } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
      timeoutMs = ParseNumber(argv[++i], &ok);
    } else {
      return Usage();
    }
    if (!ok) return Usage();
  }
  int left = argc - i;
  if (left < 2 || left > 4) return Usage();

  bool ok = false;
  HWND hwnd = ParseHwnd(argv[i], &ok);
  UINT msg = 0;
  WPARAM wp = 0;
  LPARAM lp = 0;
  if (!ok || !ParseMessage(argv[i + 1], &msg)) return Usage();
  if (left >= 3) {
    wp = (WPARAM)ParseNumber(argv[i + 2], &ok);
    if (!ok) return Usage();
  }
  if (left == 4 && !ParseLparam(argv[i + 3], &lp)) return Usage();

  if (!IsWindow(hwnd)) {
    std::printf("error=no-such-window\n");
    return 1;
  }
  if (post) {
    BOOL posted = PostMessageA(hwnd, msg, wp, lp);
    std::printf("posted=%d\n", posted ? 1 : 0);
    return posted ? 0 : 1;
  }
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, (UINT)timeoutMs, &result)) {
    std::printf("error=no-answer\n");
    return 1;
  }
  std::printf("result=%lld\n", (long long)(LONG_PTR)result);
  return 0;
}
