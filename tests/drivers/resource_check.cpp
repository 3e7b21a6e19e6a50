// resource_check - what Gyrewell.scr carries, read back through the resource API
//
//   resource_check MODULE SHEET     check every resource (see below)
//   resource_check --show MODULE MS show dialog 2003 from MODULE for MS ms
//
// The check loads MODULE as a data file and prints one line per fact,
// "ok WHAT" or "fail WHAT: DETAIL":
//   DATA001  RT_RCDATA equal byte for byte to the file SHEET
//   ICON1    an icon group of one 32 x 32, 256-colour entry whose RT_ICON is an
//            8-bit 32 x 64 (colour + mask) DIB that the system turns into an icon
//   WAVE01   type WAVE: RIFF/WAVE, PCM, mono, 11025 Hz, 8 bits, data to the end
//   manifest RT_MANIFEST 1: asInvoker and per-monitor (v2) DPI awareness, else system
//   dialog   RT_DIALOG 2003 in Japanese: every field of the template and of its
//            eight controls, texts compared as UTF-16
//
// --show runs the template as a modal dialog (as the saver's configure mode
// would, with the slider at 100, the label "100" and an ideographic space in
// code page 932, and the first radio button checked), prints "shown hwnd=H"
// followed by one "text id=N hex=..." line per control with its window text
// as UTF-16 code units in hex, then closes it after MS ms. A screenshot taken
// meanwhile shows the glyphs.
//
// Exit code 0 when everything held, 1 otherwise, 2 on bad usage.
#include "driver_util.h"

#include <commctrl.h>

#include <string>

namespace {

int failures = 0;

void Report(bool ok, const char* what, const std::string& detail = "") {
  if (ok) {
    std::printf("ok %s\n", what);
  } else {
    std::printf("fail %s: %s\n", what, detail.c_str());
    ++failures;
  }
  std::fflush(stdout);
}

std::string Hex(unsigned long value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", value);
  return text;
}

struct Blob {
  const BYTE* bytes;
  DWORD size;
};

Blob Find(HMODULE module, LPCSTR name, LPCSTR type, WORD language = 0xFFFF) {
  Blob blob = {nullptr, 0};
  HRSRC found = language == 0xFFFF ? FindResourceA(module, name, type) : FindResourceExA(module, type, name, language);
  if (!found) return blob;
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return blob;
  blob.bytes = static_cast<const BYTE*>(LockResource(loaded));
  blob.size = blob.bytes ? SizeofResource(module, found) : 0;
  return blob;
}

WORD U16(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }
DWORD U32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<DWORD>(p[3]) << 24; }

void CheckSheet(HMODULE module, const char* sheetPath) {
  Blob sheet = Find(module, "DATA001", RT_RCDATA);
  if (!sheet.bytes) return Report(false, "DATA001", "not found");
  HANDLE file = CreateFileA(sheetPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Report(false, "DATA001", std::string("cannot open ") + sheetPath);
  std::string expected(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, &expected[0], static_cast<DWORD>(expected.size()), &read, nullptr);
  CloseHandle(file);
  if (read != expected.size() || sheet.size != expected.size())
    return Report(false, "DATA001", "size " + std::to_string(sheet.size) + ", file " + std::to_string(expected.size()));
  Report(std::memcmp(sheet.bytes, expected.data(), expected.size()) == 0 && sheet.bytes[0] == 'B' &&
             sheet.bytes[1] == 'M',
         "DATA001", "bytes differ from the committed sheet");
}

void CheckIcon(HMODULE module) {
  Blob group = Find(module, "ICON1", RT_GROUP_ICON);
  if (!group.bytes || group.size < 6 + 14) return Report(false, "ICON1", "icon group not found");
  const BYTE* g = group.bytes;
  if (U16(g) != 0 || U16(g + 2) != 1 || U16(g + 4) != 1)
    return Report(false, "ICON1", "group header " + std::to_string(U16(g + 2)) + "/" + std::to_string(U16(g + 4)));
  const BYTE* entry = g + 6;  // width, height, colours, reserved, planes, bits, bytes, id
  if (entry[0] != 32 || entry[1] != 32 || entry[2] != 0 || U16(entry + 6) != 8)
    return Report(false, "ICON1", "entry is not 32 x 32 at 8 bits");
  const WORD id = U16(entry + 12);
  Blob image = Find(module, MAKEINTRESOURCEA(id), RT_ICON);
  if (!image.bytes || image.size != U32(entry + 8) || image.size < 40) return Report(false, "ICON1", "RT_ICON missing");
  const BYTE* h = image.bytes;
  if (U32(h) != 40 || U32(h + 4) != 32 || U32(h + 8) != 64 || U16(h + 14) != 8)
    return Report(false, "ICON1", "RT_ICON is not a 32 x 64 8-bit DIB");
  HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(h), image.size, TRUE, 0x00030000, 32, 32, 0);
  ICONINFO info = {};
  BITMAP colour = {};
  const bool made = icon && GetIconInfo(icon, &info) && GetObjectA(info.hbmColor, sizeof colour, &colour);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (icon) DestroyIcon(icon);
  Report(made && colour.bmWidth == 32 && colour.bmHeight == 32, "ICON1", "the system does not make a 32 x 32 icon of it");
}

void CheckWave(HMODULE module) {
  Blob wave = Find(module, "WAVE01", "WAVE");
  if (!wave.bytes || wave.size < 44) return Report(false, "WAVE01", "not found");
  const BYTE* w = wave.bytes;
  const bool riff = std::memcmp(w, "RIFF", 4) == 0 && std::memcmp(w + 8, "WAVEfmt ", 8) == 0 &&
                    U32(w + 4) == wave.size - 8;
  const bool format = U16(w + 20) == 1 && U16(w + 22) == 1 && U32(w + 24) == 11025 && U16(w + 34) == 8;
  const bool data = std::memcmp(w + 36, "data", 4) == 0 && 44 + U32(w + 40) == wave.size && U32(w + 40) > 0;
  Report(riff && format && data, "WAVE01",
         std::string(riff ? "" : "not RIFF/WAVE ") + (format ? "" : "not 8-bit mono PCM at 11025 Hz ") +
             (data ? "" : "data chunk does not fill the file"));
}

void CheckManifest(HMODULE module) {
  Blob manifest = Find(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
  if (!manifest.bytes) return Report(false, "manifest", "RT_MANIFEST 1 not found");
  const std::string text(reinterpret_cast<const char*>(manifest.bytes), manifest.size);
  const bool invoker = text.find("level=\"asInvoker\"") != std::string::npos;
  const bool dpi = text.find(">true</dpiAware>") != std::string::npos &&
                   text.find(">PerMonitorV2, system</dpiAwareness>") != std::string::npos;
  Report(invoker && dpi, "manifest",
         std::string(invoker ? "" : "no asInvoker ") + (dpi ? "" : "no per-monitor (v2) DPI awareness"));
}

// ---------------------------------------------------------------------------
// Dialog template 2003

struct Item {
  WORD id;
  WORD classAtom;             // 0x80 button, 0x82 static, 0 for a named class
  const char* className;      // when classAtom is 0
  const char16_t* text;
  DWORD style;
  short x, y, cx, cy;
};

const Item kItems[8] = {
    {1, 0x80, nullptr, u"ＯＫ", 0x50010000, 100, 63, 43, 12},
    {2, 0x80, nullptr, u"ｷｬﾝｾﾙ", 0x50010000, 147, 63, 43, 12},
    {0xFFFF, 0x80, nullptr, u"うさぎ（にんじん、花）の数", 0x50000007, 6, 5, 208, 38},
    {1042, 0, "msctls_trackbar32", u"Slider1", 0x50010010, 11, 15, 199, 15},
    {1043, 0x82, nullptr, u"Static", 0x50020000, 10, 30, 105, 8},
    {0xFFFF, 0x80, nullptr, u"デスクトップ", 0x50020007, 6, 48, 65, 40},
    {1044, 0x80, nullptr, u"そのまま", 0x50000009, 16, 63, 53, 8},
    {1045, 0x80, nullptr, u"ブラック", 0x50000009, 16, 73, 53, 8},
};

// Reads a template string (or 0xFFFF + ordinal) at p; returns the next word.
const WORD* ReadSz(const WORD* p, std::u16string* text, WORD* ordinal) {
  text->clear();
  *ordinal = 0;
  if (*p == 0xFFFF) {
    *ordinal = p[1];
    return p + 2;
  }
  while (*p) text->push_back(static_cast<char16_t>(*p++));
  return p + 1;
}

bool SameIgnoringCase(const std::u16string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t c = a[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != static_cast<unsigned char>(b[i])) return false;
  }
  return true;
}

void CheckDialog(HMODULE module) {
  Blob dialog = Find(module, MAKEINTRESOURCEA(2003), RT_DIALOG, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  if (!dialog.bytes) return Report(false, "dialog", "template 2003 in Japanese not found");
  const BYTE* d = dialog.bytes;
  if (U16(d + 2) == 0xFFFF) return Report(false, "dialog", "an extended template, expected the standard one");
  std::string wrong;
  auto expect = [&wrong](bool ok, const std::string& what) {
    if (!ok) wrong += what + "; ";
  };
  expect(U32(d) == 0x90C800C0, "style " + Hex(U32(d)));
  expect(U32(d + 4) == 0, "extended style");
  expect(U16(d + 8) == 8, "control count " + std::to_string(U16(d + 8)));
  const short* box = reinterpret_cast<const short*>(d + 10);
  expect(box[0] == 6 && box[1] == 18 && box[2] == 223 && box[3] == 97, "position or size");
  const WORD* p = reinterpret_cast<const WORD*>(d + 18);
  std::u16string text;
  WORD ordinal;
  p = ReadSz(p, &text, &ordinal);
  expect(text.empty() && ordinal == 0, "has a menu");
  p = ReadSz(p, &text, &ordinal);
  expect(text.empty() && ordinal == 0, "has a class");
  p = ReadSz(p, &text, &ordinal);
  expect(text == u"Gyrewell Version 1.02", "caption");
  expect(*p++ == 10, "point size");
  p = ReadSz(p, &text, &ordinal);
  expect(text == u"ＭＳ ゴシック", "font face");
  const BYTE* end = d + dialog.size;
  for (int i = 0; i < 8; ++i) {
    const std::string n = "control " + std::to_string(i + 1) + " ";
    const BYTE* item = d + ((reinterpret_cast<const BYTE*>(p) - d + 3) & ~3);
    if (item + 18 > end) {
      expect(false, n + "missing");
      break;
    }
    const Item& want = kItems[i];
    expect(U32(item) == want.style, n + "style " + Hex(U32(item)));
    expect(U32(item + 4) == 0, n + "extended style");
    const short* r = reinterpret_cast<const short*>(item + 8);
    expect(r[0] == want.x && r[1] == want.y && r[2] == want.cx && r[3] == want.cy, n + "rectangle");
    expect(U16(item + 16) == want.id, n + "id " + std::to_string(U16(item + 16)));
    p = ReadSz(reinterpret_cast<const WORD*>(item + 18), &text, &ordinal);
    if (want.classAtom)
      expect(ordinal == want.classAtom, n + "class is not the predefined number");
    else
      expect(ordinal == 0 && SameIgnoringCase(text, want.className), n + "class");
    p = ReadSz(p, &text, &ordinal);
    expect(ordinal == 0 && text == want.text, n + "text");
    const WORD extra = *p++;
    expect(extra == 0, n + "creation data");
    p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
  }
  Report(wrong.empty(), "dialog", wrong);
}

// ---------------------------------------------------------------------------
// --show

INT_PTR CALLBACK ShowProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SendDlgItemMessageA(dialog, 1042, TBM_SETRANGE, 0, MAKELONG(20, 200));
    SendDlgItemMessageA(dialog, 1042, TBM_SETPOS, 1, 100);
    SetDlgItemTextA(dialog, 1043, "100\x81\x40");  // "%d" and an ideographic space in code page 932
    CheckRadioButton(dialog, 1044, 1045, 1044);
    SetTimer(dialog, 1, static_cast<UINT>(lParam), nullptr);
    std::printf("shown hwnd=%lld\n", (long long)(INT_PTR)dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t wide[128] = L"";
      GetWindowTextW(child, wide, 128);
      std::printf("text id=%d hex=", static_cast<int>(static_cast<short>(GetDlgCtrlID(child))));
      for (const wchar_t* c = wide; *c; ++c) std::printf("%04x", static_cast<unsigned>(*c));
      std::printf("\n");
    }
    std::fflush(stdout);
    return TRUE;
  }
  if (message == WM_TIMER) {
    EndDialog(dialog, 1);
    return TRUE;
  }
  return FALSE;
}

int Show(const char* path, const char* ms) {
  bool ok = false;
  const long long wait = ParseNumber(ms, &ok);
  if (!ok || wait < 0) return 2;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return 1;
  Blob dialog = Find(module, MAKEINTRESOURCEA(2003), RT_DIALOG);
  if (!dialog.bytes) return 1;
  const INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr),
                                                 reinterpret_cast<LPCDLGTEMPLATEA>(dialog.bytes), nullptr, ShowProc,
                                                 static_cast<LPARAM>(wait));
  return result == 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  BinaryStdout();
  if (argc == 4 && std::strcmp(argv[1], "--show") == 0) return Show(argv[2], argv[3]);
  if (argc != 3) {
    std::printf("usage: resource_check MODULE SHEET | resource_check --show MODULE MS\n");
    return 2;
  }
  HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) {
    Report(false, "module", std::string("cannot load ") + argv[1]);
    return 1;
  }
  CheckSheet(module, argv[2]);
  CheckIcon(module);
  CheckWave(module);
  CheckManifest(module);
  CheckDialog(module);
  FreeLibrary(module);
  return failures == 0 ? 0 : 1;
}
