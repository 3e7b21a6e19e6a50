// effect_state.h - the effect's shared state: its surfaces and the values that
// the window procedure sets at creation and the animation thread reads.
//
// Everything here is written by EffectWindowProc on the window thread while the
// saver window is created, before the animation thread exists; creating the
// thread orders those writes before the thread's reads. In preview mode the
// thread itself then overwrites SpriteCount, FieldWidth and FieldHeight once,
// before its first frame. While the thread runs, it alone writes the WorkSurface
// and the SheetSurface; the SnapshotSurface is only read, by both threads.
//
// A Surface is one DIB section at the display depth, rows top-down, selected into
// its own memory DC for its whole life. Its pixel view (pixel_surface.h) is what
// the portable pixel routines are handed; GDI sees only the memory DC.
//
//   SnapshotSurface  W x H        the desktop as it was; rows 0..H-2 are filled
//   WorkSurface      (W+64)x(H+64) the frame being composed, picture at (32, 32)
//   SheetSurface     1920 x 1081  the sprite sheet at (0, 0) and its scratch cells
//
// W (FieldWidth) is the primary display's width and H (FieldHeight) its height
// plus one, so every full-picture copy of H - 1 rows is exactly the screen.
#ifndef GYREWELL_EFFECT_STATE_H
#define GYREWELL_EFFECT_STATE_H

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "effect/render/pixel_surface.h"

struct Surface {
  HDC memoryDC;
  HBITMAP bitmap;
  HBITMAP previousBitmap;  // selected back before the bitmap is deleted
  PixelSurface pixels;     // bits, width, height as created
};

constexpr std::int32_t SheetSurfaceWidth = 1920;
constexpr std::int32_t SheetSurfaceHeight = 1081;

extern std::int32_t PreviewFlag;     // 1 when the command line asks for the preview
extern std::uint8_t* DecodeBuffer;   // 1 MiB for an unpacked sheet
extern HDC EffectWindowDC;           // the saver window's DC: surfaces, presentation
extern std::int32_t DisplayDepth;    // bits per pixel of the display
extern std::int32_t FieldWidth;      // W
extern std::int32_t FieldHeight;     // H
extern Surface SnapshotSurface;
extern Surface WorkSurface;
extern Surface SheetSurface;
extern HANDLE AnimationThreadHandle;
extern DWORD AnimationThreadId;

// Set by the window thread when the window is destroyed; the animation thread
// looks at it at least once per frame, between slots at start-up and after every
// 1 ms sleep, and then returns.
extern std::atomic<bool> AnimationStopRequested;

// Set by the paint handler after it has drawn the desktop copy into the window;
// the animation thread takes it (exchange) before composing a frame, and then
// composes and presents that frame in full, because the window no longer shows
// the previous one. Release on the store, acquire on the exchange: a paint that
// ends after the exchange sets it again and the next frame repairs the window.
extern std::atomic<bool> WindowPainted;

// Finds the sprite sheet resource "DATA001" in the program, unpacks it into the
// DecodeBuffer when it is packed and imports it into the SheetSurface. False when
// the resource cannot be found, loaded or locked.
bool LoadSheet();

// The animation thread's entry; its argument is the saver window.
DWORD WINAPI AnimationThread(LPVOID window);

// 1 when the process command line asks for the preview (/p before any /s).
std::int32_t ScanPreviewSwitch();

#endif
