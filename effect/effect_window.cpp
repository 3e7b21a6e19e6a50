// effect_window.cpp - the effect's window procedure: builds the effect when the
// saver window is created, tears it down when the window is destroyed, and
// paints the desktop copy. Every message, acted on or not, then goes on to the
// host's SaverDefaultProc, whose result is returned: the effect never swallows
// a message.
//
// Creation, in order; a step that fails leaves the rest out and the window up
// without animation (it still closes on input):
//   common controls, preview scan, settings, 1 MiB decode buffer, window DC,
//   display depth (8 bits or fewer: stop), field size and drawing scale (from
//   the system's DPI; in preview from the client area too), the three surfaces
//   and, on a high-DPI display, a fourth for the enlarged art (a bitmap or
//   memory DC that cannot be made: all of them again at scale 1, as on a 96-DPI
//   screen; at scale 1: stop), the sheet (no resource: stop), the desktop
//   snapshot, the animation thread (none: destroy the window).
// Destruction asks the thread to stop and waits for it before anything it uses
// is released, releases what exists in reverse kinds (surfaces, DCs, buffer)
// and has the whole desktop repainted.
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

void ReleaseSurfaceBitmap(Surface& s) {
  if (s.memoryDC != nullptr && s.previousBitmap != nullptr) SelectObject(s.memoryDC, s.previousBitmap);
  if (s.bitmap != nullptr) DeleteObject(s.bitmap);
  s.bitmap = nullptr;
  s.previousBitmap = nullptr;
  s.pixels = PixelSurface{nullptr, 0, 0};
}

void ReleaseSurfaceDC(Surface& s) {
  if (s.memoryDC != nullptr) DeleteDC(s.memoryDC);
  s.memoryDC = nullptr;
}

Surface* const AllSurfaces[4] = {&SnapshotSurface, &WorkSurface, &SheetSurface, &EnlargedSurface};

void ReleaseSurfaces() {
  for (Surface* s : AllSurfaces) ReleaseSurfaceBitmap(*s);
  for (Surface* s : AllSurfaces) ReleaseSurfaceDC(*s);
}

// Every surface of the layout, in order; false, with none of them kept, when
// one cannot be had.
bool CreateSurfaces(const SceneLayout& l) {
#if defined(GYREWELL_TEST_HOOKS)
  if (HostTestFault == 'm' && l.scale > 1) return false;
#endif
  if (CreateSurface(SnapshotSurface, l.snapshot) && CreateSurface(WorkSurface, l.work) &&
      CreateSurface(SheetSurface, l.sheet) && (l.scale == 1 || CreateSurface(EnlargedSurface, l.enlarged))) {
    return true;
  }
  ReleaseSurfaces();
  return false;
}

// The primary display's size, whatever the window's: on several monitors the
// frames cover the primary one's area at the window's top-left corner. The
// preview's field is its client area, which may be larger than the screen.
SceneLayout LayOutEffect(HWND window, std::int32_t scale) {
  const std::int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  if (PreviewFlag != PreviewOn) return LayOutScene(width, height, scale);
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  return LayOutPreviewScene(width, height, scale, client.right - client.left, client.bottom - client.top);
}

// The system's DPI as this DPI-aware program sees it: GetDpiForSystem where the
// system has it (Windows 10 1607 and later), else the screen's LOGPIXELSX,
// which older systems report the same way.
std::int32_t SystemDpi() {
  typedef UINT(WINAPI * GetDpiForSystemProc)();
  HMODULE user = GetModuleHandleA("USER32.DLL");
  GetDpiForSystemProc getDpi =
      user != nullptr
          ? reinterpret_cast<GetDpiForSystemProc>(reinterpret_cast<void (*)(void)>(GetProcAddress(user, "GetDpiForSystem")))
          : nullptr;
  if (getDpi != nullptr) return static_cast<std::int32_t>(getDpi());
  HDC screen = GetDC(nullptr);
  const std::int32_t dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi;
}

void CopyDesktop(HWND window) {
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return;
  const SurfaceSize& desktop = EffectLayout.desktop;
  BitBlt(SnapshotSurface.memoryDC, 0, 0, desktop.width, desktop.height, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  // GDI may batch the copy; the animation reads these bits directly.
  GdiFlush();
}

void CreateEffect(HWND window) {
  // The effect shows no control. The call stays from the saver's first
  // releases, where it was the usual way to make sure comctl32 is loaded; it is
  // cheap and harmless.
  InitCommonControls();
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
  // margins); where it cannot be had the saver still animates, one sheet pixel
  // to one screen pixel.
  EffectLayout = LayOutEffect(window, ScaleForDpi(SystemDpi()));
  if (!CreateSurfaces(EffectLayout)) {
    if (EffectLayout.scale == 1) return;
    EffectLayout = LayOutEffect(window, 1);
    if (!CreateSurfaces(EffectLayout)) return;
  }
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
    ReleaseSurfaces();
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

void PaintSnapshot(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc != nullptr && SnapshotSurface.memoryDC != nullptr) {
    const RECT& r = paint.rcPaint;
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, SnapshotSurface.memoryDC, r.left, r.top, SRCCOPY);
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
