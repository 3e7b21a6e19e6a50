// effect_state.h - the effect's shared state in the saver: its surfaces and the
// values that the window procedure sets at creation and the animation thread
// reads. Defined in effect_state.cpp.
//
// Everything here is written by EffectWindowProc on the window thread while the
// saver window is created, before the animation thread exists; creating the
// thread orders those writes before the thread's reads, and nothing writes them
// while the thread runs. The thread alone then writes the WorkSurface and the
// SheetSurface; the SnapshotSurface is only read, by both threads.
//
// A Surface is one DIB section at the display depth, rows top-down, selected into
// its own memory DC for its whole life. GDI sees the memory DC; the portable
// pixel routines see the pixel view (pixel_surface.h), which the Surface
// carries beside it. The fields (fields.h: one per monitor, one in preview)
// say which surfaces there are and their sizes: the sheet, an enlarged sheet
// per scale in use, and a snapshot and a WorkSurface per field, each kept here
// at the index the field set gives it.
//
// Once the thread runs, each field's scene is the thread's alone; the window
// thread reads only where the fields lie and their snapshots (to paint).
#ifndef GYREWELL_EFFECT_STATE_H
#define GYREWELL_EFFECT_STATE_H

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "effect/fields.h"
#include "effect/render/pixel_surface.h"

struct Surface {
  HDC memoryDC;
  HBITMAP bitmap;
  HBITMAP previousBitmap;  // selected back before the bitmap is deleted
  PixelSurface pixels;     // bits, width, height as created
};

extern std::int32_t PreviewFlag;     // PreviewOn when the command line asks for the preview
extern std::uint8_t* DecodeBuffer;   // 1 MiB for an unpacked sheet
extern HDC EffectWindowDC;           // the saver window's DC: surfaces, presentation
extern std::int32_t DisplayDepth;    // bits per pixel of the display
extern FieldSet EffectFields;        // where each field lies, its layout and its scene
extern Surface SheetSurface;
extern Surface EnlargedSurfaces[FieldCapacity];  // the sheet's art drawn larger, per scale above 1
extern Surface SnapshotSurfaces[FieldCapacity];  // per field
extern Surface WorkSurfaces[FieldCapacity];      // per field
extern HANDLE AnimationThreadHandle;

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

#endif
