// animation_thread.cpp - see animation_thread.h: the clock, the sleeps, the stop
// request and the copy of each finished frame to the window. The picture
// itself is the scene's (scene.h), one per field (fields.h): every field is
// composed, then the one wait, then every field presented and moved, so all
// monitors keep one pace.
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

// Private to the thread: each field's way to the window is chosen on its own.
PresentChooser Choosers[FieldCapacity];

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

// Every field's frame through one DC of the window.
void PresentFields(HDC present) {
  for (std::int32_t i = 0; i < EffectFields.count; ++i) {
    Field& f = EffectFields.fields[i];
    if (!f.animated) continue;
    const FramePresentation& blocks = PresentScene(f.scene);
    const PresentRoute route = ChoosePresentRoute(Choosers[i]);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    PresentFrame(present, WorkSurfaces[i].memoryDC, blocks, route);
    // The blits read the WorkSurface; let them finish before the next frame
    // writes it. The flush also ends what the measurement of the route covers.
    GdiFlush();
    QueryPerformanceCounter(&end);
    if (blocks.count > 1) RecordPresentCost(Choosers[i], route, end.QuadPart - start.QuadPart);
  }
}

// The frames, until a stop is requested. last: when the thread started, so the
// start-up counts toward the first frame's interval.
void RunFrames(HWND window, std::uint32_t last) {
  FieldSet& fields = EffectFields;
  // All fields keep one pace (in preview there is only the one field).
  std::uint32_t interval = SaverFrameInterval;
  for (std::int32_t i = fields.count - 1; i >= 0; --i)
    if (fields.fields[i].animated) interval = fields.fields[i].scene.animation.frameInterval;
  for (;;) {
    if (StopRequested()) return;
    // The window no longer shows the previous frame when it was painted over.
    if (WindowPainted.exchange(false, std::memory_order_acq_rel)) FieldsPainted(fields);
    ComposeFields(fields);

    // Sleep at least once, then until the interval since the last presentation
    // has passed; the unsigned difference survives the clock's wrap.
    std::uint32_t now;
    do {
      Sleep(1);
      if (StopRequested()) return;
      now = timeGetTime();
    } while (now - last < interval);

    // The saver's class gives its window one DC of its own, which is also what
    // BeginPaint hands the paint handler on the window thread. Frames go through
    // a DC of this thread's own instead, so that a paint's clipping can never cut
    // a presentation short. It is taken afresh for every frame: one taken while
    // the window was still hidden may keep an empty visible region. Without
    // one the frame is not shown (the class DC's clip belongs to the paint
    // handler), and the next one goes to the window whole.
    HDC present = GetDCEx(window, nullptr, DCX_CACHE);
    if (present != nullptr) {
      PresentFields(present);
      ReleaseDC(window, present);
#if defined(GYREWELL_TEST_HOOKS)
      CountPresentedFrame();
#endif
    } else {
      FieldsPainted(fields);
    }
    last = timeGetTime();
    MoveFields(fields);
  }
}

}  // namespace

std::int32_t ScanPreviewSwitch() { return ScanPreviewSwitchIn(GetCommandLineA()); }

DWORD WINAPI AnimationThread(LPVOID parameter) {
  HWND window = static_cast<HWND>(parameter);
  const std::uint32_t started = timeGetTime();
  for (PresentChooser& c : Choosers) c = PresentChooser{};
  BeginFields(EffectFields, SceneSettings{SpriteCount, BackdropMode, PreviewFlag});
  if (StartFieldSlots(EffectFields, PauseBetweenSlots, nullptr)) RunFrames(window, started);
  return 0;
}
