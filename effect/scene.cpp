// scene.cpp - see scene.h.
#include "effect/scene.h"

#include "effect/render/bitmap_import.h"
#include "effect/render/packed_image.h"
#include "effect/render/rect_copy.h"

namespace {

// The sheet's surface is a fixed size, not the sheet's: a larger sheet is cut
// to it by the import.
constexpr SurfaceSize SheetSurfaceSize = {1920, 1081};

SurfaceSize Bitmap(std::int32_t width, std::int32_t height) { return {(width + 3) / 4 * 4, height}; }

}  // namespace

SceneLayout LayOutScene(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t scale) {
  SceneLayout l;
  const std::int32_t k = scale < 1 ? 1 : scale;
  l.scale = k;
  l.fieldWidth = screenWidth / k;
  l.fieldHeight = screenHeight / k + 1;
  l.desktop = {screenWidth, screenHeight};
  l.snapshot = Bitmap(screenWidth, screenHeight + k);
  l.work = Bitmap(k * WorkExtent(l.fieldWidth), k * WorkExtent(l.fieldHeight));
  l.sheet = Bitmap(SheetSurfaceSize.width, SheetSurfaceSize.height);
  l.enlarged = k > 1 ? Bitmap(k * SheetArtWidth, k * SheetArtHeight) : SurfaceSize{0, 0};
  return l;
}

std::int32_t ScaleForDpi(std::int32_t dpi) {
  const std::int32_t scale = dpi / 96;  // 96 DPI is 100 %
  return scale < 1 ? 1 : scale;
}

std::int32_t ImportSheet(std::int32_t depth, const PixelSurface& sheet, const std::uint8_t* bytes, std::size_t size,
                         std::uint8_t* decodeBuffer) {
  const std::uint32_t unpacked = decodeBuffer != nullptr ? UnpackImage(decodeBuffer, bytes, size, DecodeBufferSize) : 0;
  if (unpacked != 0) return ImportBitmap(depth, sheet, 0, 0, decodeBuffer, unpacked);
  return ImportBitmap(depth, sheet, 0, 0, bytes, size);
}

void BeginScene(Scene& scene, const SceneLayout& layout, const SceneSettings& settings, std::int32_t clientWidth,
                std::int32_t clientHeight, std::uint32_t seed) {
  const std::int32_t k = layout.scale;
  Animation& a = scene.animation;
  BeginAnimation(a, seed, settings.spriteCount, settings.backdropMode, settings.previewFlag, layout.fieldWidth,
                 layout.fieldHeight, clientWidth / k, clientHeight / k);
  if (a.previewFlag == PreviewOn) {
    SetDrawingScale(a, k, clientWidth, clientHeight);
  } else {
    SetDrawingScale(a, k, layout.desktop.width, layout.desktop.height);
  }
  const FrameSurfaces& s = scene.surfaces;
  if (k > 1) EnlargeRect(s.depth, s.enlarged, 0, 0, SheetArtWidth, SheetArtHeight, s.sheet, 0, 0, k);
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
