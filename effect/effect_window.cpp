// effect_window.cpp - the effect's window procedure: builds the effect when the
// saver window is created, tears it down when the window is destroyed, and
// paints the desktop copy. Every message, acted on or not, then goes on to the
// host's SaverDefaultProc, whose result is returned: the effect never swallows
// a message.
//
// Creation, in order; a step that fails leaves the rest out and the window up
// without animation (it still closes on input):
//   common controls, preview scan, settings, 1 MiB decode buffer, window DC,
//   display depth (8 bits or fewer: stop), the fields and their drawing scales
//   (fields.h: full screen one per monitor, each at its own DPI's scale; in
//   preview one over the client area, at the system's), their surfaces (no
//   sheet: stop; a field whose surfaces cannot be had at its scale is tried at
//   scale 1, as on a 96-DPI screen, and otherwise stays black), the sheet (no
//   resource: stop), each field's desktop snapshot, the animation thread
//   (none: destroy the window).
// Destruction asks the thread to stop and waits for it before anything it uses
// is released, releases what exists in reverse kinds (surfaces, DCs, buffer)
// and has the whole desktop repainted.
//
// Monitors come from EnumDisplayMonitors and GetMonitorInfoA, their DPI from
// GetDpiForMonitor (shcore.dll), all looked up by name: Windows 95 and NT 4
// have no monitor calls, and there the saver shows one field of the primary
// display's size at the window's top-left corner, as it always has; without
// GetDpiForMonitor (before Windows 8.1) every monitor has the system's DPI.
// The manifest declares per-monitor awareness where Windows has it, so the
// window, the monitors and the screen DC all speak physical pixels.
//
// The desktop snapshot is read from the screen DC at the window's client origin:
// on a compositing desktop (and under Wine) the window's own DC reads the
// window's surface, which is black, not the desktop under it.
#include "effect/effect_window.h"

#include <commctrl.h>

#include "effect/animation_thread.h"
#include "effect/effect_state.h"
#include "effect/load_sheet.h"
#include "effect/render/packed_image.h"
#include "effect/settings.h"
#include "host/saver_default.h"
#include "host/system_lookup.h"
#include "host/test_hooks.h"

namespace {

// How long destruction waits for the animation thread. A frame takes a few
// milliseconds; a thread that has not ended by then is stuck inside the system,
// and its surfaces are left alone rather than pulled from under it.
constexpr DWORD ThreadStopTimeoutMs = 5000;

// The size comes from LayOutScene, which keeps every width a multiple of four
// pixels: the DIB section's rows then lie back to back, as the pixel routines
// expect.
bool CreateSurface(Surface& s, const SurfaceSize& size) {
  BITMAPINFO info;
  ZeroMemory(&info, sizeof info);
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size.width;
  info.bmiHeader.biHeight = -size.height;  // top-down: the top row comes first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(DisplayDepth);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  s.bitmap = CreateDIBSection(EffectWindowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (s.bitmap == nullptr || bits == nullptr) return false;
  s.memoryDC = CreateCompatibleDC(EffectWindowDC);
  if (s.memoryDC == nullptr) return false;
  s.previousBitmap = static_cast<HBITMAP>(SelectObject(s.memoryDC, s.bitmap));
  s.pixels = PixelSurface{static_cast<std::uint8_t*>(bits), size.width, size.height};
  return true;
}

void ReleaseSurface(Surface& s) {
  if (s.memoryDC != nullptr && s.previousBitmap != nullptr) SelectObject(s.memoryDC, s.previousBitmap);
  if (s.bitmap != nullptr) DeleteObject(s.bitmap);
  if (s.memoryDC != nullptr) DeleteDC(s.memoryDC);
  s = Surface{nullptr, nullptr, nullptr, PixelSurface{nullptr, 0, 0}};
}

Surface& SurfaceFor(const SurfaceRequest& q) {
  switch (q.kind) {
    case SurfaceSheet:
      return SheetSurface;
    case SurfaceEnlarged:
      return EnlargedSurfaces[q.index];
    case SurfaceSnapshot:
      return SnapshotSurfaces[q.index];
    default:
      return WorkSurfaces[q.index];
  }
}

bool MakeSurface(void*, const SurfaceRequest& q, PixelSurface& pixels) {
#if defined(GYREWELL_TEST_HOOKS)
  // "/zm": no memory for drawing larger.
  if (HostTestFault == 'm' && q.kind == SurfaceEnlarged) return false;
#endif
  Surface& s = SurfaceFor(q);
  if (!CreateSurface(s, q.size)) {
    ReleaseSurface(s);
    return false;
  }
  pixels = s.pixels;
  return true;
}

void ReleaseMadeSurface(void*, const SurfaceRequest& q) { ReleaseSurface(SurfaceFor(q)); }

const SurfaceMaker Surfaces = {MakeSurface, ReleaseMadeSurface, nullptr};

// The system's DPI as this DPI-aware program sees it: GetDpiForSystem where the
// system has it (Windows 10 1607 and later), else the screen's LOGPIXELSX,
// which older systems report the same way.
std::int32_t SystemDpi() {
  typedef UINT(WINAPI * GetDpiForSystemProc)();
  GetDpiForSystemProc getDpi = LookUpEntry<GetDpiForSystemProc>(GetModuleHandleA("USER32.DLL"), "GetDpiForSystem");
  if (getDpi != nullptr) return static_cast<std::int32_t>(getDpi());
  HDC screen = GetDC(nullptr);
  const std::int32_t dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi;
}

typedef BOOL(WINAPI* MonitorInfoProc)(HMONITOR, LPMONITORINFO);
typedef HRESULT(WINAPI* MonitorDpiProc)(HMONITOR, int, UINT*, UINT*);
typedef BOOL(WINAPI* EnumMonitorsProc)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);

// What EnumDisplayMonitors reports, a record per monitor. A system may report
// more than there are fields (mirrored heads, say): the plan sorts them out.
struct MonitorList {
  Monitor monitors[2 * FieldCapacity];
  std::int32_t count;
  std::int32_t systemDpi;
  MonitorInfoProc info;
  MonitorDpiProc dpiFor;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MonitorList& list = *reinterpret_cast<MonitorList*>(data);
  if (list.count >= 2 * FieldCapacity) return FALSE;
  MONITORINFO info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  if (!list.info(monitor, &info)) return TRUE;
  const int EffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the scale chosen in the Display settings
  UINT dpiX = 0, dpiY = 0;
  const bool own = list.dpiFor != nullptr && list.dpiFor(monitor, EffectiveDpi, &dpiX, &dpiY) == S_OK && dpiX > 0;
  const RECT& r = info.rcMonitor;
  list.monitors[list.count++] = Monitor{r.left, r.top, r.right, r.bottom,
                                        own ? static_cast<std::int32_t>(dpiX) : list.systemDpi,
                                        (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
  return TRUE;
}

// The monitors, in screen coordinates; 0 where the system cannot list them.
std::int32_t ListMonitors(MonitorList& list) {
  list.count = 0;
  list.systemDpi = SystemDpi();
  HMODULE user = GetModuleHandleA("USER32.DLL");
  EnumMonitorsProc enumMonitors = LookUpEntry<EnumMonitorsProc>(user, "EnumDisplayMonitors");
  list.info = LookUpEntry<MonitorInfoProc>(user, "GetMonitorInfoA");
  if (enumMonitors == nullptr || list.info == nullptr) return 0;
  HMODULE shcore = LoadLibraryA("shcore.dll");
  list.dpiFor = LookUpEntry<MonitorDpiProc>(shcore, "GetDpiForMonitor");
  if (!enumMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list))) list.count = 0;
  if (shcore != nullptr) FreeLibrary(shcore);
  return list.count;
}

// Full screen a field per monitor; in preview one over the client area. A
// window inside another (the preview's switch written so that the effect's own
// scan misses it) keeps one field of the primary display's size at its
// corner, as the saver has always drawn there.
void PlanEffectFields(HWND window, std::uint32_t seed) {
  const std::int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  if (PreviewFlag == PreviewOn) {
    PlanPreviewField(EffectFields, width, height, ScaleForDpi(SystemDpi()), client.right - client.left,
                     client.bottom - client.top, seed);
    return;
  }
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  static MonitorList List;  // too large for a window procedure's stack frame
  if (GetParent(window) != nullptr || ListMonitors(List) == 0) {
    const Monitor primary = {origin.x, origin.y, origin.x + width, origin.y + height, SystemDpi(), true};
    PlanFields(EffectFields, &primary, 1, origin.x, origin.y, width, height, seed);
    return;
  }
  PlanFields(EffectFields, List.monitors, List.count, origin.x, origin.y, client.right - client.left,
             client.bottom - client.top, seed);
}

// Each field's part of the screen into its snapshot.
void CopyDesktop(HWND window) {
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return;
  for (std::int32_t i = 0; i < EffectFields.count; ++i) {
    const Field& f = EffectFields.fields[i];
    if (!f.animated) continue;
    BitBlt(SnapshotSurfaces[i].memoryDC, 0, 0, f.layout.desktop.width, f.layout.desktop.height, screen,
           origin.x + f.left, origin.y + f.top, SRCCOPY);
  }
  ReleaseDC(nullptr, screen);
  // GDI may batch the copy; the animation reads these bits directly.
  GdiFlush();
}

void CreateEffect(HWND window) {
  // The effect shows no control. The call stays from the saver's first
  // releases, where it was the usual way to make sure comctl32 is loaded; it is
  // cheap and harmless.
  InitCommonControls();
  EffectFields.count = 0;
  EffectFields.sheetMade = false;
  EffectFields.enlargedCount = 0;
  PreviewFlag = ScanPreviewSwitch();
  ReadSettings();

  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, DecodeBufferSize);
  DecodeBuffer = block != nullptr ? static_cast<std::uint8_t*>(GlobalLock(block)) : nullptr;
  if (DecodeBuffer == nullptr) {
    if (block != nullptr) GlobalFree(block);
    return;
  }
  EffectWindowDC = GetDC(window);
  if (EffectWindowDC == nullptr) return;
  DisplayDepth = GetDeviceCaps(EffectWindowDC, BITSPIXEL);
  if (DisplayDepth <= 8) return;

  // On a display of 200 % or more the sprites and the pit are drawn at a whole
  // multiple of their size. That takes more memory (the enlarged art, wider
  // margins); where it cannot be had the field still animates, one sheet pixel
  // to one screen pixel.
  PlanEffectFields(window, GetTickCount());
  if (!BuildFields(EffectFields, DisplayDepth, Surfaces)) return;
  bool anyAnimated = false;
  for (std::int32_t i = 0; i < EffectFields.count; ++i) anyAnimated = anyAnimated || EffectFields.fields[i].animated;
  if (!anyAnimated) return;
  if (!LoadSheet()) return;
  CopyDesktop(window);

  AnimationStopRequested.store(false);
  DWORD threadId = 0;  // never used, but the Windows 95 family refuses a null pointer here
  AnimationThreadHandle = CreateThread(nullptr, 0, AnimationThread, window, 0, &threadId);
  if (AnimationThreadHandle == nullptr) DestroyWindow(window);
}

void DestroyEffect(HWND window) {
  bool threadEnded = true;
  if (AnimationThreadHandle != nullptr) {
    AnimationStopRequested.store(true);
    threadEnded = WaitForSingleObject(AnimationThreadHandle, ThreadStopTimeoutMs) == WAIT_OBJECT_0;
    CloseHandle(AnimationThreadHandle);
    AnimationThreadHandle = nullptr;
  }
  if (threadEnded) {
    ReleaseFields(EffectFields, Surfaces);
    if (EffectWindowDC != nullptr) ReleaseDC(window, EffectWindowDC);
    EffectWindowDC = nullptr;
  }
  if (DecodeBuffer != nullptr) {
    HGLOBAL block = GlobalHandle(DecodeBuffer);
    GlobalUnlock(block);
    GlobalFree(block);
    DecodeBuffer = nullptr;
  }
  RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Each field's desktop copy where the window is to be painted; between and
// beyond the fields the background stays black.
void PaintSnapshot(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const RECT& r = paint.rcPaint;
  for (std::int32_t i = 0; dc != nullptr && i < EffectFields.count; ++i) {
    const Field& f = EffectFields.fields[i];
    if (!f.animated) continue;
    const LONG left = r.left > f.left ? r.left : f.left, top = r.top > f.top ? r.top : f.top;
    const LONG right = r.right < f.left + f.clientWidth ? r.right : f.left + f.clientWidth;
    const LONG bottom = r.bottom < f.top + f.clientHeight ? r.bottom : f.top + f.clientHeight;
    if (right <= left || bottom <= top) continue;
    BitBlt(dc, left, top, right - left, bottom - top, SnapshotSurfaces[i].memoryDC, left - f.left, top - f.top,
           SRCCOPY);
  }
  EndPaint(window, &paint);
  WindowPainted.store(true, std::memory_order_release);
}

}  // namespace

LRESULT CALLBACK EffectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateEffect(window);
      break;
    case WM_DESTROY:
      DestroyEffect(window);
      break;
    case WM_PAINT:
      PaintSnapshot(window);
      break;
    default:
      break;
  }
  return SaverDefaultProc(window, message, wParam, lParam);
}
