// dialog_driver - find the configuration dialog and act on it as a user would
//
//   dialog_driver [--wait MS] ACTION...
//
// Waits (default 10000 ms) for a shown dialog window ("#32770") that holds a
// trackbar with id 1042, then runs the actions in order:
//
//   show         print "dialog hwnd=H owner=H slider=N min=N max=N page=N
//                label=HEX desktop=0|1 black=0|1 focus=ID" (label bytes in hex,
//                so code page 932 text survives the trip through the shell)
//   texts        print "caption hex=..." and one "text id=N hex=..." line per
//                control, in creation order: window texts read as UTF-16, each
//                code unit as four hex digits, exactly what the user sees
//   pos:N        TBM_SETPOS to N, then the WM_HSCROLL a drag's end sends
//   drag:N       TB_THUMBTRACK to N without TB_THUMBPOSITION, as mid-drag
//   pageup       Page Up key on the slider (one page toward the low end)
//   pagedown     Page Down key on the slider (one page toward the high end)
//   wait-pos:N   wait until the slider is at N (after input from outside)
//   click:ID     BM_CLICK on control ID; sent and finished before the next
//                action, except for OK and Cancel, which are posted (OK may
//                open a message box; a later action waits for what follows)
//   esc          Esc key through the dialog's own message loop
//   close        the close box (WM_SYSCOMMAND SC_CLOSE)
//   msgbox       wait for a message box owned by the dialog; print
//                "msgbox hwnd=H owner=dialog|H text=HEX text16=HEX" (its text as
//                ANSI bytes, then as UTF-16 units); fails if none comes
//   msgbox-ok    press the message box's button and wait for it to go
//   open         fail unless the dialog still exists after 300 ms
//   gone         wait until the dialog is gone; fail if it stays 5 s
//   sleep:MS     wait
//
// Exit code 0 when every action succeeded, 1 at the first one that did not
// (with "fail ..." printed), 2 on bad usage.
#include "driver_util.h"

#include <commctrl.h>

#include "resources/dialog_ids.h"

#include <string>

namespace {

HWND gDialog = nullptr;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  // The dialog is shown only once WM_INITDIALOG has returned: before that its
  // controls exist but are not yet set up.
  if (lstrcmpiA(cls, "#32770") != 0 || !GetDlgItem(hwnd, IDC_COUNT_SLIDER) || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

HWND WaitForDialog(DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND found = nullptr;
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
    if (found) return found;
    if (GetTickCount() - start >= ms) return nullptr;
    Sleep(50);
  }
}

std::string Hex(const char* text) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    out += digits[*c >> 4];
    out += digits[*c & 15];
  }
  return out.empty() ? "-" : out;
}

// UTF-16 code units as four hex digits each ("-" for none).
std::string Hex16(const wchar_t* text) {
  std::string out;
  char unit[8];
  for (const wchar_t* c = text; *c; ++c) {
    std::snprintf(unit, sizeof unit, "%04x", static_cast<unsigned>(*c));
    out += unit;
  }
  return out.empty() ? "-" : out;
}

void Texts() {
  wchar_t text[512] = L"";
  GetWindowTextW(gDialog, text, 512);
  std::printf("caption hex=%s\n", Hex16(text).c_str());
  for (HWND child = GetWindow(gDialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    text[0] = L'\0';
    GetWindowTextW(child, text, 512);
    std::printf("text id=%d hex=%s\n", static_cast<int>(static_cast<short>(GetDlgCtrlID(child))), Hex16(text).c_str());
  }
  std::fflush(stdout);
}

LRESULT Send(int id, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(GetDlgItem(gDialog, id), msg, wp, lp, SMTO_NORMAL, 5000, &result);
  return static_cast<LRESULT>(result);
}

void Show() {
  char label[256] = "";
  GetDlgItemTextA(gDialog, IDC_COUNT_LABEL, label, sizeof label);
  GUITHREADINFO gui;
  gui.cbSize = sizeof gui;
  DWORD thread = GetWindowThreadProcessId(gDialog, nullptr);
  long long focus = 0;
  if (GetGUIThreadInfo(thread, &gui) && gui.hwndFocus) focus = GetWindowLongPtrA(gui.hwndFocus, GWLP_ID);
  std::printf("dialog hwnd=%lld owner=%lld slider=%ld min=%ld max=%ld page=%ld label=%s desktop=%d black=%d focus=%lld\n",
              (long long)(INT_PTR)gDialog, (long long)(INT_PTR)GetWindow(gDialog, GW_OWNER),
              (long)Send(IDC_COUNT_SLIDER, TBM_GETPOS, 0, 0), (long)Send(IDC_COUNT_SLIDER, TBM_GETRANGEMIN, 0, 0),
              (long)Send(IDC_COUNT_SLIDER, TBM_GETRANGEMAX, 0, 0), (long)Send(IDC_COUNT_SLIDER, TBM_GETPAGESIZE, 0, 0),
              Hex(label).c_str(), Send(IDC_DESKTOP_RADIO, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0,
              Send(IDC_BLACK_RADIO, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0, focus);
  std::fflush(stdout);
}

void NotifyScroll(int code, int position) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(gDialog, WM_HSCROLL, MAKEWPARAM(code, position),
                      reinterpret_cast<LPARAM>(GetDlgItem(gDialog, IDC_COUNT_SLIDER)), SMTO_NORMAL, 5000, &result);
}

// A key press that passes through the dialog's message loop exactly like
// typed input (the loop turns Esc into Cancel): posted, so its effect must be
// waited for.
void PostKey(HWND target, UINT key) {
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

// A key press handled by the focused control itself: the dialog's loop only
// dispatches it, so sending it straight to the control is the same thing, and
// it is finished (parent notified) when the send returns.
void SendKey(HWND target, UINT key) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(target, WM_KEYDOWN, key, 1, SMTO_NORMAL, 5000, &result);
  SendMessageTimeoutA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u), SMTO_NORMAL, 5000, &result);
}

struct BoxSearch {
  HWND box;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM param) {
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (hwnd == gDialog || lstrcmpiA(cls, "#32770") != 0 || GetDlgItem(hwnd, IDC_COUNT_SLIDER)) return TRUE;
  reinterpret_cast<BoxSearch*>(param)->box = hwnd;
  return FALSE;
}

struct BoxText {
  std::string ansi;
  std::string utf16;  // as Hex16 gives it
};

BOOL CALLBACK FindBoxText(HWND hwnd, LPARAM param) {
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0) return TRUE;
  char text[1024] = "";
  GetWindowTextA(hwnd, text, sizeof text);
  if (!text[0]) return TRUE;
  wchar_t wide[1024] = L"";
  GetWindowTextW(hwnd, wide, 1024);
  BoxText* found = reinterpret_cast<BoxText*>(param);
  found->ansi = text;
  found->utf16 = Hex16(wide);
  return FALSE;
}

// A message box counts once it is shown with its text in place (its window
// exists a little before its controls do).
HWND WaitForBox(DWORD ms, BoxText* text) {
  DWORD start = GetTickCount();
  for (;;) {
    BoxSearch search = {nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.box && IsWindowVisible(search.box)) {
      *text = BoxText();
      EnumChildWindows(search.box, FindBoxText, reinterpret_cast<LPARAM>(text));
      if (!text->ansi.empty()) return search.box;
    }
    if (GetTickCount() - start >= ms) return nullptr;
    Sleep(50);
  }
}

bool Fail(const char* action, const char* why) {
  std::printf("fail action=%s reason=\"%s\"\n", action, why);
  std::fflush(stdout);
  return false;
}

bool Run(const char* action) {
  std::string a = action;
  if (a != "gone" && a.rfind("sleep:", 0) != 0 && !IsWindow(gDialog)) return Fail(action, "dialog is gone");
  if (a == "show") {
    Show();
  } else if (a == "texts") {
    Texts();
  } else if (a.rfind("pos:", 0) == 0 || a.rfind("drag:", 0) == 0) {
    bool ok = false;
    bool drag = a[0] == 'd';
    int n = (int)ParseNumber(action + (drag ? 5 : 4), &ok);
    if (!ok) return Fail(action, "bad number");
    Send(IDC_COUNT_SLIDER, TBM_SETPOS, TRUE, n);
    if (drag) {
      NotifyScroll(TB_THUMBTRACK, n);
    } else {
      NotifyScroll(TB_THUMBPOSITION, n);
      NotifyScroll(TB_ENDTRACK, 0);
    }
  } else if (a == "pageup" || a == "pagedown") {
    SendKey(GetDlgItem(gDialog, IDC_COUNT_SLIDER), a == "pageup" ? VK_PRIOR : VK_NEXT);
  } else if (a.rfind("wait-pos:", 0) == 0) {
    bool ok = false;
    long n = (long)ParseNumber(action + 9, &ok);
    if (!ok) return Fail(action, "bad number");
    DWORD start = GetTickCount();
    while ((long)Send(IDC_COUNT_SLIDER, TBM_GETPOS, 0, 0) != n) {
      if (GetTickCount() - start >= 5000) return Fail(action, "slider never got there");
      Sleep(50);
    }
  } else if (a.rfind("click:", 0) == 0) {
    bool ok = false;
    int id = (int)ParseNumber(action + 6, &ok);
    HWND control = ok ? GetDlgItem(gDialog, id) : nullptr;
    if (!control) return Fail(action, "no such control");
    if (id == IDOK || id == IDCANCEL) {
      PostMessageA(control, BM_CLICK, 0, 0);
    } else {
      DWORD_PTR result = 0;
      SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
    }
  } else if (a == "esc") {
    PostKey(GetDlgItem(gDialog, IDOK), VK_ESCAPE);
  } else if (a == "close") {
    PostMessageA(gDialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (a == "msgbox") {
    BoxText text;
    HWND box = WaitForBox(5000, &text);
    if (!box) return Fail(action, "no message box");
    HWND owner = GetWindow(box, GW_OWNER);
    if (owner == gDialog) {
      std::printf("msgbox hwnd=%lld owner=dialog text=%s text16=%s\n", (long long)(INT_PTR)box,
                  Hex(text.ansi.c_str()).c_str(), text.utf16.c_str());
    } else {
      std::printf("msgbox hwnd=%lld owner=%lld text=%s text16=%s\n", (long long)(INT_PTR)box,
                  (long long)(INT_PTR)owner, Hex(text.ansi.c_str()).c_str(), text.utf16.c_str());
    }
    std::fflush(stdout);
  } else if (a == "msgbox-ok") {
    BoxText text;
    HWND box = WaitForBox(5000, &text);
    if (!box) return Fail(action, "no message box");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD start = GetTickCount();
    while (IsWindow(box)) {
      if (GetTickCount() - start >= 5000) return Fail(action, "message box stays");
      Sleep(50);
    }
  } else if (a == "open") {
    Sleep(300);
    if (!IsWindow(gDialog)) return Fail(action, "dialog is gone");
  } else if (a == "gone") {
    DWORD start = GetTickCount();
    while (IsWindow(gDialog)) {
      if (GetTickCount() - start >= 5000) return Fail(action, "dialog stays open");
      Sleep(50);
    }
  } else if (a.rfind("sleep:", 0) == 0) {
    bool ok = false;
    long long ms = ParseNumber(action + 6, &ok);
    if (!ok || ms < 0) return Fail(action, "bad number");
    Sleep(static_cast<DWORD>(ms));
  } else {
    std::fprintf(stderr, "dialog_driver: unknown action %s\n", action);
    std::exit(2);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  DWORD wait = 10000;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--wait") == 0) {
    bool ok = false;
    wait = static_cast<DWORD>(ParseNumber(argv[2], &ok));
    if (!ok) return 2;
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: dialog_driver [--wait MS] ACTION...\n");
    return 2;
  }
  gDialog = WaitForDialog(wait);
  if (!gDialog) {
    Fail("find", "no configuration dialog");
    return 1;
  }
  for (int i = first; i < argc; ++i) {
    if (!Run(argv[i])) return 1;
  }
  return 0;
}
