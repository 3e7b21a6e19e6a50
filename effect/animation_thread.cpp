// animation_thread.cpp - the thread that runs the animation: the clock, the
// sleeps, the stop request and the copy of each finished frame to the window.
// The simulation and the composition themselves are in animation.h.
//
// The thread checks AnimationStopRequested between slots at start-up, before
// every frame and after every 1 ms sleep of the frame wait, and returns when it
// is set; the window thread waits for it before releasing the surfaces.
#include "effect/effect_state.h"

#include <mmsystem.h>

#include "effect/animation.h"
#include "effect/settings_rules.h"

namespace {

// Private to the thread; too large for a comfortable stack frame.
Animation TheAnimation;

bool StopRequested() { return AnimationStopRequested.load(std::memory_order_acquire); }

#if defined(GYREWELL_TEST_HOOKS)
// Test builds only: a running count of presented frames, written to standard
// output as "frames N" every 100 frames, so that a measurement under Wine can
// tell how many frames a stretch of CPU time paid for.
void CountPresentedFrame() {
  static std::uint32_t presented = 0;
  if (++presented % 100 != 0) return;
  char line[32];
  const int length = wsprintfA(line, "frames %lu\n", static_cast<unsigned long>(presented));
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
}
#endif

void PresentBlockToWindow(void* dc, const PresentBlock& p) {
  BitBlt(static_cast<HDC>(dc), p.windowX, p.windowY, p.width, p.height, WorkSurface.memoryDC, p.sourceX, p.sourceY,
         SRCCOPY);
}

// The frames, until a stop is requested.
void RunFrames(Animation& a, HWND window) {
  std::uint32_t last = timeGetTime();
  for (std::int32_t i = 0; i < a.spriteCount; ++i) {
    if (StopRequested()) return;
    StartSlot(a, i);
    Sleep(1);
  }

  const FrameSurfaces surfaces = {DisplayDepth, SnapshotSurface.pixels, WorkSurface.pixels, SheetSurface.pixels};
  bool presentAll = true;  // the first frame: the window shows the desktop copy
  for (;;) {
    if (StopRequested()) return;
    // Only what changed is composed and presented, unless the window was painted
    // over since the last presentation (or this is the first frame).
    if (WindowPainted.exchange(false, std::memory_order_acq_rel)) presentAll = true;
    if (presentAll) {
      ComposeFrame(a, surfaces);
    } else {
      ComposeChangedFrame(a, surfaces);
    }

    // Sleep at least once, then until the interval since the last presentation
    // has passed; the unsigned difference survives the clock's wrap.
    std::uint32_t now;
    do {
      Sleep(1);
      if (StopRequested()) return;
      now = timeGetTime();
    } while (now - last < a.frameInterval);

    // The saver's class gives its window one DC of its own, which is also what
    // BeginPaint hands the paint handler on the window thread. Frames go through
    // a DC of this thread's own instead, so that a paint's clipping can never cut
    // a presentation short. It is taken afresh for every frame: one taken while
    // the window was still hidden may keep an empty visible region.
    HDC present = GetDCEx(window, nullptr, DCX_CACHE);
    HDC target = present != nullptr ? present : EffectWindowDC;
    if (presentAll) {
      PresentBlockToWindow(target, FramePresentBlock(a));
    } else {
      ForEachChangedBlock(a, PresentBlockToWindow, target);
    }
    if (present != nullptr) ReleaseDC(window, present);
    presentAll = false;
    // The blits read the WorkSurface; let them finish before the next frame writes it.
    GdiFlush();
#if defined(GYREWELL_TEST_HOOKS)
    CountPresentedFrame();
#endif
    last = timeGetTime();
    MoveSlots(a);
  }
}

}  // namespace

std::int32_t ScanPreviewSwitch() { return ScanPreviewSwitchIn(GetCommandLineA()); }

DWORD WINAPI AnimationThread(LPVOID parameter) {
  HWND window = static_cast<HWND>(parameter);
  Animation& a = TheAnimation;
  const std::uint32_t seed = GetTickCount();
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  BeginAnimation(a, seed, SpriteCount, BackdropMode, PreviewFlag, FieldWidth, FieldHeight, client.right - client.left,
                 client.bottom - client.top);
  if (a.previewFlag == 1) {
    SpriteCount = a.spriteCount;
    FieldWidth = a.width;
    FieldHeight = a.height;
  }

  RunFrames(a, window);
  return 0;
}
