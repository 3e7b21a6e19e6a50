// scene.cpp - see scene.h.
#include "effect/scene.h"

#include "effect/render/bitmap_import.h"
#include "effect/render/packed_image.h"

namespace {

// The sheet's surface is a fixed size, not the sheet's: a larger sheet is cut
// to it by the import.
constexpr SurfaceSize SheetSurfaceSize = {1920, 1081};

SurfaceSize Bitmap(std::int32_t width, std::int32_t height) { return {(width + 3) / 4 * 4, height}; }

}  // namespace

SceneLayout LayOutScene(std::int32_t screenWidth, std::int32_t screenHeight) {
  SceneLayout l;
  l.fieldWidth = screenWidth;
  l.fieldHeight = screenHeight + 1;
  l.desktop = {l.fieldWidth, l.fieldHeight - 1};
  l.snapshot = Bitmap(l.fieldWidth, l.fieldHeight);
  l.work = Bitmap(WorkExtent(l.fieldWidth), WorkExtent(l.fieldHeight));
  l.sheet = Bitmap(SheetSurfaceSize.width, SheetSurfaceSize.height);
  return l;
}

std::int32_t ImportSheet(std::int32_t depth, const PixelSurface& sheet, const std::uint8_t* bytes, std::size_t size,
                         std::uint8_t* decodeBuffer) {
  const std::uint32_t unpacked = decodeBuffer != nullptr ? UnpackImage(decodeBuffer, bytes, size, DecodeBufferSize) : 0;
  if (unpacked != 0) return ImportBitmap(depth, sheet, 0, 0, decodeBuffer, unpacked);
  return ImportBitmap(depth, sheet, 0, 0, bytes, size);
}

void BeginScene(Scene& scene, const SceneLayout& layout, const SceneSettings& settings, std::int32_t clientWidth,
                std::int32_t clientHeight, std::uint32_t seed) {
  BeginAnimation(scene.animation, seed, settings.spriteCount, settings.backdropMode, settings.previewFlag,
                 layout.fieldWidth, layout.fieldHeight, clientWidth, clientHeight);
  scene.presentAll = true;  // the window shows the desktop copy, not a frame
}

bool StartSceneSlots(Scene& scene, SlotPause pause, void* context) {
  for (std::int32_t i = 0; i < scene.animation.spriteCount; ++i) {
    StartSlot(scene.animation, i);
    if (pause != nullptr && !pause(context)) return false;
  }
  return true;
}

void ComposeScene(Scene& scene) {
  if (scene.presentAll) {
    ComposeFrame(scene.animation, scene.surfaces);
  } else {
    ComposeChangedFrame(scene.animation, scene.surfaces);
  }
}

const FramePresentation& PresentScene(Scene& scene) {
  // After a full composition the changed list is the whole picture.
  PlanPresentation(scene.animation, scene.presentation);
  scene.presentAll = false;
  return scene.presentation;
}

void MoveScene(Scene& scene) { MoveSlots(scene.animation); }

void SceneWindowPainted(Scene& scene) { scene.presentAll = true; }
