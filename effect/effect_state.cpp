// effect_state.cpp - the effect's shared values (see effect_state.h).
#include "effect/effect_state.h"

std::int32_t PreviewFlag;
std::uint8_t* DecodeBuffer;
HDC EffectWindowDC;
std::int32_t DisplayDepth;
SceneLayout EffectLayout;
Surface SnapshotSurface;
Surface WorkSurface;
Surface SheetSurface;
Surface EnlargedSurface;
HANDLE AnimationThreadHandle;
std::atomic<bool> AnimationStopRequested{false};
std::atomic<bool> WindowPainted{false};

FrameSurfaces EffectSurfaces() {
  return FrameSurfaces{DisplayDepth, SnapshotSurface.pixels, WorkSurface.pixels, SheetSurface.pixels,
                       EnlargedSurface.pixels};
}
