// animation_thread.cpp - see animation_thread.h: the clock, the sleeps, the stop
// request and the copy of each finished frame to the window. The picture
// itself is the scene's (scene.h).
//
// The thread checks AnimationStopRequested between slots at start-up, before
// every frame and after every 1 ms sleep of the frame wait, and returns when it
// is set; the window thread waits for it before releasing the surfaces.
#include "effect/animation_thread.h"

#include <mmsystem.h>

#include "effect/effect_state.h"
#include "effect/present_route.h"
#include "effect/present_window.h"
#include "effect/settings_rules.h"

namespace {

// Private to the thread; too large for a comfortable stack frame.
Scene TheScene;
PresentChooser Chooser;

bool StopRequested() { return AnimationStopRequested.load(std::memory_order_acquire); }

// The start-up has always slept 1 ms per slot; the stop request is looked at
// there too, so a saver closed during a start-up of 200 slots ends at once.
bool PauseBetweenSlots(void*) {
  Sleep(1);
  return !StopRequested();
}

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

// The frames, until a stop is requested. last: when the thread started, so the
// start-up counts toward the first frame's interval.
void RunFrames(Scene& scene, HWND window, std::uint32_t last) {
  for (;;) {
    if (StopRequested()) return;
    // The window no longer shows the previous frame when it was painted over.
    if (WindowPainted.exchange(false, std::memory_order_acq_rel)) SceneWindowPainted(scene);
    ComposeScene(scene);

    // Sleep at least once, then until the interval since the last presentation
    // has passed; the unsigned difference survives the clock's wrap.
    std::uint32_t now;
    do {
      Sleep(1);
      if (StopRequested()) return;
      now = timeGetTime();
    } while (now - last < scene.animation.frameInterval);

    // The saver's class gives its window one DC of its own, which is also what
    // BeginPaint hands the paint handler on the window thread. Frames go through
    // a DC of this thread's own instead, so that a paint's clipping can never cut
    // a presentation short. It is taken afresh for every frame: one taken while
    // the window was still hidden may keep an empty visible region. Without
    // one the frame is not shown (the class DC's clip belongs to the paint
    // handler), and the next one goes to the window whole.
    HDC present = GetDCEx(window, nullptr, DCX_CACHE);
    if (present != nullptr) {
      const FramePresentation& blocks = PresentScene(scene);
      const PresentRoute route = ChoosePresentRoute(Chooser);
      LARGE_INTEGER start, end;
      QueryPerformanceCounter(&start);
      PresentFrame(present, WorkSurface.memoryDC, blocks, route);
      // The blits read the WorkSurface; let them finish before the next frame
      // writes it. The flush also ends what the measurement of the route covers.
      GdiFlush();
      QueryPerformanceCounter(&end);
      if (blocks.count > 1) RecordPresentCost(Chooser, route, end.QuadPart - start.QuadPart);
      ReleaseDC(window, present);
#if defined(GYREWELL_TEST_HOOKS)
      CountPresentedFrame();
#endif
    } else {
      SceneWindowPainted(scene);
    }
    last = timeGetTime();
    MoveScene(scene);
  }
}

}  // namespace

std::int32_t ScanPreviewSwitch() { return ScanPreviewSwitchIn(GetCommandLineA()); }

DWORD WINAPI AnimationThread(LPVOID parameter) {
  HWND window = static_cast<HWND>(parameter);
  const std::uint32_t seed = GetTickCount();
  const std::uint32_t started = timeGetTime();
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  TheScene.surfaces = EffectSurfaces();
  Chooser = PresentChooser{};
  BeginScene(TheScene, EffectLayout, SceneSettings{SpriteCount, BackdropMode, PreviewFlag}, client.right - client.left,
             client.bottom - client.top, seed);
  if (StartSceneSlots(TheScene, PauseBetweenSlots, nullptr)) RunFrames(TheScene, window, started);
  return 0;
}
