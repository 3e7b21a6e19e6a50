// x11_scene.cpp - see x11_scene.h.
#include "x11/x11_scene.h"

#include <algorithm>
#include <cstdlib>

#include "effect/render/packed_image.h"
#include "x11/desktop.h"
#include "x11/frame_output.h"
#include "x11/scale.h"
#include "x11/sheet_data.h"
#include "x11/waiting.h"

namespace {

// The animation places sprites beyond the field's edges and needs a field of
// at least 32 x 32 (scene pixels) for that; a smaller window shows the corner
// of one.
constexpr std::int32_t SmallestField = 32;

std::uint8_t* Allocate(const SurfaceSize& size, std::int32_t depth) {
  return static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(size.width) * size.height, depth / 8));
}

}  // namespace

bool BuildScene(X11Saver& s) {
  const std::int32_t scale = ChooseScale(s.options.scale, s.xftDpi, s.width, s.height);
  s.layout = LayOutScene(std::max(s.width, SmallestField * scale), std::max(s.height, SmallestField * scale), scale);
  FrameSurfaces& surfaces = s.scene.surfaces;
  surfaces.depth = s.depth;
  s.snapshotMemory = Allocate(s.layout.snapshot, s.depth);
  s.sheetMemory = Allocate(s.layout.sheet, s.depth);
  const bool enlarged = s.layout.enlarged.width > 0;
  if (enlarged) s.enlargedMemory = Allocate(s.layout.enlarged, s.depth);
  std::uint8_t* decodeBuffer = static_cast<std::uint8_t*>(std::malloc(DecodeBufferSize));
  s.sceneBuilt = true;  // from here on TearDownScene releases what exists
  if (s.snapshotMemory == nullptr || s.sheetMemory == nullptr || (enlarged && s.enlargedMemory == nullptr) ||
      decodeBuffer == nullptr || !OpenFrameOutput(s)) {
    std::free(decodeBuffer);
    TearDownScene(s);
    return false;
  }
  surfaces.snapshot = PixelSurface{s.snapshotMemory, s.layout.snapshot.width, s.layout.snapshot.height};
  surfaces.sheet = PixelSurface{s.sheetMemory, s.layout.sheet.width, s.layout.sheet.height};
  surfaces.enlarged = PixelSurface{s.enlargedMemory, s.layout.enlarged.width, s.layout.enlarged.height};
  ImportSheet(s.depth, surfaces.sheet, SheetBitmap, SheetBitmapSize, decodeBuffer);
  std::free(decodeBuffer);
  LayDesktop(s, surfaces.snapshot, s.layout.desktop.width, s.layout.desktop.height);

  const std::uint32_t seed =
      s.options.seedGiven ? s.options.seed : static_cast<std::uint32_t>(NowNanoseconds() / 1000000);
  BeginScene(s.scene, s.layout, SceneSettings{s.options.spriteCount, s.options.backdropMode, PreviewOff},
             s.layout.desktop.width, s.layout.desktop.height, seed);
  StartSceneSlots(s.scene, nullptr, nullptr);
  return true;
}

void TearDownScene(X11Saver& s) {
  if (!s.sceneBuilt) return;
  CloseFrameOutput(s);
  std::free(s.snapshotMemory);
  std::free(s.sheetMemory);
  std::free(s.enlargedMemory);
  s.snapshotMemory = nullptr;
  s.sheetMemory = nullptr;
  s.enlargedMemory = nullptr;
  s.scene.surfaces = FrameSurfaces{};
  s.sceneBuilt = false;
}
