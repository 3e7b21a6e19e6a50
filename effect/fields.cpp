// fields.cpp - see fields.h.
#include "effect/fields.h"

namespace {

std::int32_t Min(std::int32_t a, std::int32_t b) { return a < b ? a : b; }
std::int32_t Max(std::int32_t a, std::int32_t b) { return a > b ? a : b; }

struct Rect {
  std::int32_t left, top, right, bottom;
};

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

Rect FieldRect(const Field& f) { return {f.left, f.top, f.left + f.clientWidth, f.top + f.clientHeight}; }

SceneLayout LayOutField(const Field& f, std::int32_t scale) {
  SceneLayout l = f.previewFlag == PreviewOn
                      ? LayOutPreviewScene(f.screenWidth, f.screenHeight, scale, f.clientWidth, f.clientHeight)
                      : LayOutScene(f.screenWidth, f.screenHeight, scale);
  l.left = f.left;
  l.top = f.top;
  return l;
}

void ClearField(Field& f) {
  f.animated = false;
  f.layout = LayOutField(f, f.wantedScale);
  f.scene.surfaces = FrameSurfaces{0, {nullptr, 0, 0}, {nullptr, 0, 0}, {nullptr, 0, 0}, {nullptr, 0, 0}};
}

// Adds a field over window rectangle r unless it lies in an earlier one's
// place or is too small to animate.
void AddField(FieldSet& set, const Rect& r, std::int32_t dpi, std::uint32_t seed) {
  if (set.count >= FieldCapacity) return;
  if (r.right - r.left < MinimumFieldExtent || r.bottom - r.top < MinimumFieldExtent) return;
  for (std::int32_t i = 0; i < set.count; ++i)
    if (Overlap(r, FieldRect(set.fields[i]))) return;
  Field& f = set.fields[set.count];
  f.left = r.left;
  f.top = r.top;
  f.screenWidth = f.clientWidth = r.right - r.left;
  f.screenHeight = f.clientHeight = r.bottom - r.top;
  f.previewFlag = PreviewOff;
  f.wantedScale = Max(1, Min(ScaleForDpi(dpi), Min(f.screenWidth, f.screenHeight) / MinimumFieldExtent));
  f.seed = FieldSeed(seed, set.count);
  ClearField(f);
  ++set.count;
}

void ResetSet(FieldSet& set) {
  set.count = 0;
  set.depth = 0;
  set.sheetMade = false;
  set.sheet = PixelSurface{nullptr, 0, 0};
  set.enlargedCount = 0;
}

// The enlarged sheet for scale k, made the first time it is asked for; null
// when it cannot be had.
const PixelSurface* EnlargedFor(FieldSet& set, std::int32_t k, const SurfaceMaker& maker) {
  for (std::int32_t i = 0; i < set.enlargedCount; ++i) {
    const EnlargedSheet& e = set.enlarged[i];
    if (e.scale == k) return e.made ? &e.surface : nullptr;
  }
  if (set.enlargedCount >= FieldCapacity) return nullptr;
  const std::int32_t index = set.enlargedCount++;
  EnlargedSheet& e = set.enlarged[index];
  e.scale = k;
  e.made = maker.make(maker.context, SurfaceRequest{SurfaceEnlarged, index, LayOutScene(1, 1, k).enlarged},
                      e.surface);
  return e.made ? &e.surface : nullptr;
}

// The field's snapshot and WorkSurface at scale k; false, with neither kept,
// when one cannot be had.
bool MakeFieldSurfaces(FieldSet& set, std::int32_t i, std::int32_t k, const PixelSurface& art,
                       const SurfaceMaker& maker) {
  Field& f = set.fields[i];
  const SceneLayout l = LayOutField(f, k);
  FrameSurfaces s{set.depth, {nullptr, 0, 0}, {nullptr, 0, 0}, set.sheet, art};
  if (!maker.make(maker.context, SurfaceRequest{SurfaceSnapshot, i, l.snapshot}, s.snapshot)) return false;
  if (!maker.make(maker.context, SurfaceRequest{SurfaceWork, i, l.work}, s.work)) {
    maker.release(maker.context, SurfaceRequest{SurfaceSnapshot, i, l.snapshot});
    return false;
  }
  f.layout = l;
  f.scene.surfaces = s;
  f.animated = true;
  return true;
}

}  // namespace

std::uint32_t FieldSeed(std::uint32_t seed, std::int32_t field) {
  // Far apart in the generator's sequence for neighbouring fields.
  return seed + static_cast<std::uint32_t>(field) * 0x9E3779B9u;
}

void PlanFields(FieldSet& set, const Monitor* monitors, std::int32_t count, std::int32_t windowLeft,
                std::int32_t windowTop, std::int32_t windowWidth, std::int32_t windowHeight, std::uint32_t seed) {
  ResetSet(set);
  const Rect window = {windowLeft, windowTop, windowLeft + windowWidth, windowTop + windowHeight};
  // The primary monitor first, then the rest in the order given.
  for (std::int32_t pass = 0; pass < 2; ++pass) {
    for (std::int32_t i = 0; i < count; ++i) {
      const Monitor& m = monitors[i];
      if (m.primary != (pass == 0)) continue;
      const Rect cut = {Max(m.left, window.left), Max(m.top, window.top), Min(m.right, window.right),
                        Min(m.bottom, window.bottom)};
      AddField(set, Rect{cut.left - windowLeft, cut.top - windowTop, cut.right - windowLeft, cut.bottom - windowTop},
               m.dpi, seed);
    }
  }
}

void PlanPreviewField(FieldSet& set, std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t scale,
                      std::int32_t clientWidth, std::int32_t clientHeight, std::uint32_t seed) {
  ResetSet(set);
  Field& f = set.fields[0];
  f.left = 0;
  f.top = 0;
  f.screenWidth = screenWidth;
  f.screenHeight = screenHeight;
  f.clientWidth = clientWidth;
  f.clientHeight = clientHeight;
  f.previewFlag = PreviewOn;
  f.wantedScale = scale < 1 ? 1 : scale;
  f.seed = seed;
  ClearField(f);
  set.count = 1;
}

bool BuildFields(FieldSet& set, std::int32_t depth, const SurfaceMaker& maker) {
  set.depth = depth;
  const SurfaceSize sheetSize = LayOutScene(1, 1, 1).sheet;
  set.sheetMade = maker.make(maker.context, SurfaceRequest{SurfaceSheet, 0, sheetSize}, set.sheet);
  if (!set.sheetMade) {
    set.sheet = PixelSurface{nullptr, 0, 0};
    return false;
  }
  const PixelSurface none = {nullptr, 0, 0};
  for (std::int32_t i = 0; i < set.count; ++i) {
    const std::int32_t k = set.fields[i].wantedScale;
    const PixelSurface* art = k > 1 ? EnlargedFor(set, k, maker) : nullptr;
    if (art != nullptr && MakeFieldSurfaces(set, i, k, *art, maker)) continue;
    if (!MakeFieldSurfaces(set, i, 1, none, maker)) ClearField(set.fields[i]);
  }
  // An enlarged sheet whose fields all fell back to scale 1.
  for (std::int32_t e = 0; e < set.enlargedCount; ++e) {
    EnlargedSheet& sheet = set.enlarged[e];
    if (!sheet.made) continue;
    bool used = false;
    for (std::int32_t i = 0; i < set.count; ++i) {
      const Field& f = set.fields[i];
      used = used || (f.animated && f.layout.scale == sheet.scale);
    }
    if (used) continue;
    maker.release(maker.context, SurfaceRequest{SurfaceEnlarged, e, {sheet.surface.width, sheet.surface.height}});
    sheet.made = false;
  }
  return true;
}

void ReleaseFields(FieldSet& set, const SurfaceMaker& maker) {
  for (std::int32_t i = 0; i < set.count; ++i) {
    Field& f = set.fields[i];
    if (!f.animated) continue;
    maker.release(maker.context, SurfaceRequest{SurfaceSnapshot, i, f.layout.snapshot});
    maker.release(maker.context, SurfaceRequest{SurfaceWork, i, f.layout.work});
    ClearField(f);
  }
  for (std::int32_t e = 0; e < set.enlargedCount; ++e) {
    EnlargedSheet& sheet = set.enlarged[e];
    if (sheet.made) {
      maker.release(maker.context, SurfaceRequest{SurfaceEnlarged, e, {sheet.surface.width, sheet.surface.height}});
    }
    sheet.made = false;
  }
  set.enlargedCount = 0;
  if (set.sheetMade) {
    maker.release(maker.context, SurfaceRequest{SurfaceSheet, 0, {set.sheet.width, set.sheet.height}});
  }
  set.sheetMade = false;
  set.sheet = PixelSurface{nullptr, 0, 0};
}

void BeginFields(FieldSet& set, const SceneSettings& settings) {
  for (std::int32_t i = 0; i < set.count; ++i) {
    Field& f = set.fields[i];
    if (!f.animated) continue;
    BeginScene(f.scene, f.layout, settings, f.clientWidth, f.clientHeight, f.seed);
  }
}

bool StartFieldSlots(FieldSet& set, SlotPause pause, void* context) {
  for (std::int32_t slot = 0; slot < SlotCapacity; ++slot) {
    bool started = false;
    for (std::int32_t i = 0; i < set.count; ++i) {
      Field& f = set.fields[i];
      if (!f.animated || slot >= f.scene.animation.spriteCount) continue;
      StartSlot(f.scene.animation, slot);
      started = true;
    }
    if (!started) break;
    if (pause != nullptr && !pause(context)) return false;
  }
  return true;
}

void ComposeFields(FieldSet& set) {
  for (std::int32_t i = 0; i < set.count; ++i)
    if (set.fields[i].animated) ComposeScene(set.fields[i].scene);
}

void MoveFields(FieldSet& set) {
  for (std::int32_t i = 0; i < set.count; ++i)
    if (set.fields[i].animated) MoveScene(set.fields[i].scene);
}

void FieldsPainted(FieldSet& set) {
  for (std::int32_t i = 0; i < set.count; ++i)
    if (set.fields[i].animated) SceneWindowPainted(set.fields[i].scene);
}
