// find_window - report windows by class, title, parent or control id
//
//   find_window [--class NAME] [--title TEXT] [--child-of HWND] [--id N]
//               [--wait MS] [--gone]
//
// Prints one "window hwnd=... pid=... class=\"...\" title=\"...\" rect=l,t,r,b
// client=WxH visible=0|1 topmost=0|1 id=N parent=H owner=H style=0x...
// exstyle=0x..." line per match: top-level windows, or with --child-of every
// descendant of that window (it may belong to another process). Class names
// compare without case, as Windows does; the title compares exactly.
// --wait polls every 50 ms until a match appears (or, with --gone, until none
// is left). Exit code 0 when the wish came true, 1 when not, 2 on bad usage.
#include "driver_util.h"

namespace {

struct Query {
  const char* cls = nullptr;
  const char* title = nullptr;
  bool wantId = false;
  long long id = 0;
  int matches = 0;
  bool print = false;
};

bool Matches(HWND hwnd, const Query& q) {
  if (q.cls) {
    char cls[256] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, q.cls) != 0) return false;
  }
  if (q.title) {
    char title[512] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    if (std::strcmp(title, q.title) != 0) return false;
  }
  if (q.wantId && (long long)GetWindowLongPtrA(hwnd, GWLP_ID) != q.id) return false;
  return true;
}

BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
  Query* q = (Query*)param;
  if (Matches(hwnd, *q)) {
    ++q->matches;
    if (q->print) PrintWindowLine("window", hwnd);
  }
  return TRUE;
}

int Count(Query& q, HWND parent, bool print) {
  q.matches = 0;
  q.print = print;
  if (parent) {
    EnumChildWindows(parent, Visit, (LPARAM)&q);
  } else {
    EnumWindows(Visit, (LPARAM)&q);
  }
  return q.matches;
}

int Usage() {
  std::fprintf(stderr,
               "usage: find_window [--class NAME] [--title TEXT] [--child-of HWND] "
               "[--id N] [--wait MS] [--gone]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  BinaryStdout();
  Query q;
  HWND parent = nullptr;
  long long waitMs = 0;
  bool gone = false;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    bool ok = true;
    bool hasValue = i + 1 < argc;
    if (std::strcmp(a, "--gone") == 0) {
      gone = true;
    } else if (!hasValue) {
      return Usage();
    } else if (std::strcmp(a, "--class") == 0) {
      q.cls = argv[++i];
    } else if (std::strcmp(a, "--title") == 0) {
      q.title = argv[++i];
    } else if (std::strcmp(a, "--child-of") == 0) {
      parent = ParseHwnd(argv[++i], &ok);
      if (ok && !IsWindow(parent)) {
        std::printf("error=no-such-parent\n");
        return 1;
      }
    } else if (std::strcmp(a, "--id") == 0) {
      q.wantId = true;
      q.id = ParseNumber(argv[++i], &ok);
    } else if (std::strcmp(a, "--wait") == 0) {
      waitMs = ParseNumber(argv[++i], &ok);
    } else {
      return Usage();
    }
    if (!ok) return Usage();
  }

  // The wait is timed by the performance counter, the host's monotonic
  // clock; the time the wait took goes to stderr when it gives up, so that a
  // wait that ends too soon shows in the test's log.
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  long long waited = 0;
  for (;;) {
    int n = Count(q, parent, false);
    bool done = gone ? (n == 0) : (n > 0);
    if (done) {
      if (!gone) Count(q, parent, true);
      return 0;
    }
    QueryPerformanceCounter(&now);
    waited = (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
    if (waited >= waitMs) break;
    Sleep(50);
  }
  if (gone) Count(q, parent, true);  // show what is still there
  std::fprintf(stderr, "find_window: gave up after %lld ms\n", waited);
  return 1;
}
