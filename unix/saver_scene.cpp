// saver_scene.cpp - see saver_scene.h.
#include "unix/saver_scene.h"

#include <algorithm>
#include <cstdlib>

#include "effect/render/packed_image.h"
#include "unix/sheet_data.h"
#include "unix/waiting.h"

namespace {

constexpr std::int32_t SmallestField = 32;

std::uint8_t* Allocate(const SurfaceSize& size, std::int32_t depth) {
  return static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(size.width) * size.height, depth / 8));
}

}  // namespace

SceneLayout LayOutField(std::int32_t width, std::int32_t height, std::int32_t scale) {
  return LayOutScene(std::max(width, SmallestField * scale), std::max(height, SmallestField * scale), scale);
}

bool AllocateSceneSurfaces(Scene& scene, SceneMemory& memory, const SceneLayout& layout, std::int32_t depth) {
  FrameSurfaces& surfaces = scene.surfaces;
  surfaces.depth = depth;
  memory.snapshot = Allocate(layout.snapshot, depth);
  memory.sheet = Allocate(layout.sheet, depth);
  const bool enlarged = layout.enlarged.width > 0;
  memory.enlarged = enlarged ? Allocate(layout.enlarged, depth) : nullptr;
  if (memory.snapshot == nullptr || memory.sheet == nullptr || (enlarged && memory.enlarged == nullptr)) {
    FreeSceneSurfaces(scene, memory);
    return false;
  }
  surfaces.snapshot = PixelSurface{memory.snapshot, layout.snapshot.width, layout.snapshot.height};
  surfaces.sheet = PixelSurface{memory.sheet, layout.sheet.width, layout.sheet.height};
  surfaces.enlarged = PixelSurface{memory.enlarged, layout.enlarged.width, layout.enlarged.height};
  return true;
}

bool StartSaverScene(Scene& scene, const SceneLayout& layout, const SaverOptions& options, std::uint32_t seed,
                     const DesktopPicture& desktop) {
  const FrameSurfaces& surfaces = scene.surfaces;
  std::uint8_t* decodeBuffer = static_cast<std::uint8_t*>(std::malloc(DecodeBufferSize));
  if (decodeBuffer == nullptr) return false;
  ImportSheet(surfaces.depth, surfaces.sheet, SheetBitmap, SheetBitmapSize, decodeBuffer);
  std::free(decodeBuffer);
  LayDesktopPicture(desktop, surfaces.snapshot, surfaces.depth, layout.desktop.width, layout.desktop.height);
  BeginScene(scene, layout, SceneSettings{options.spriteCount, options.backdropMode, PreviewOff},
             layout.desktop.width, layout.desktop.height, seed);
  StartSceneSlots(scene, nullptr, nullptr);
  return true;
}

std::uint32_t SaverSeed(const SaverOptions& options) {
  return options.seedGiven ? options.seed : static_cast<std::uint32_t>(NowNanoseconds() / 1000000);
}

void FreeSceneSurfaces(Scene& scene, SceneMemory& memory) {
  std::free(memory.snapshot);
  std::free(memory.sheet);
  std::free(memory.enlarged);
  memory = SceneMemory{};
  const PixelSurface work = scene.surfaces.work;
  scene.surfaces = FrameSurfaces{};
  scene.surfaces.work = work;
}
