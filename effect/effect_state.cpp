// effect_state.cpp - the effect's shared values (see effect_state.h).
#include "effect/effect_state.h"

std::int32_t PreviewFlag;
std::uint8_t* DecodeBuffer;
HDC EffectWindowDC;
std::int32_t DisplayDepth;
FieldSet EffectFields;
Surface SheetSurface;
Surface EnlargedSurfaces[FieldCapacity];
Surface SnapshotSurfaces[FieldCapacity];
Surface WorkSurfaces[FieldCapacity];
HANDLE AnimationThreadHandle;
std::atomic<bool> AnimationStopRequested{false};
std::atomic<bool> WindowPainted{false};

