// scene.cpp - see scene.h.
#include "effect/scene.h"

#include "effect/render/bitmap_import.h"
#include "effect/render/packed_image.h"
#include "effect/render/rect_copy.h"

namespace {

// The sheet's surface is a fixed size, not the sheet's: a larger sheet is cut
// to it by the import.
constexpr SurfaceSize SheetSurfaceSize = {1920, 1081};

constexpr std::int32_t LargestClient = 65535;

SurfaceSize Bitmap(std::int32_t width, std::int32_t height) { return {(width + 3) / 4 * 4, height}; }

std::int32_t Min(std::int32_t a, std::int32_t b) { return a < b ? a : b; }
std::int32_t Max(std::int32_t a, std::int32_t b) { return a > b ? a : b; }

SurfaceSize Larger(const SurfaceSize& a, const SurfaceSize& b) {
  return {Max(a.width, b.width), Max(a.height, b.height)};
}

// The largest preview client extent, in display pixels, whose field a
// WorkSurface that long holds at scale k: the field is the client's logical
// extent plus twice the margin, the WorkSurface that plus twice the margin.
std::int32_t PreviewClientRoom(std::int32_t work, std::int32_t k) {
  return Max(0, k * (work / k - 4 * FieldMargin));
}

}  // namespace

SceneLayout LayOutScene(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t scale) {
  SceneLayout l;
  const std::int32_t k = scale < 1 ? 1 : scale;
  l.left = 0;
  l.top = 0;
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

SceneLayout LayOutPreviewScene(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t scale,
                               std::int32_t clientWidth, std::int32_t clientHeight) {
  SceneLayout l = LayOutScene(screenWidth, screenHeight, scale);
  const std::int32_t k = l.scale;
  // The preview's field in logical pixels, as BeginAnimation makes it. A
  // window no bitmap could cover is cut short of overflowing the arithmetic;
  // its surfaces then cannot be had, and it stays without animation.
  const std::int32_t w = PreviewField(Min(Max(clientWidth, 0), LargestClient) / k);
  const std::int32_t h = PreviewField(Min(Max(clientHeight, 0), LargestClient) / k);
  // The backdrop, w x (h - 1), comes from the snapshot's corner; the sprites
  // and the pit reach into the WorkSurface's margins as in the saver.
  l.snapshot = Larger(l.snapshot, Bitmap(k * w, k * (h - 1)));
  l.work = Larger(l.work, Bitmap(k * WorkExtent(w), k * WorkExtent(h)));
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
  if (settings.previewFlag == PreviewOn) {
    clientWidth = Min(clientWidth, PreviewClientRoom(layout.work.width, k));
    clientHeight = Min(clientHeight, PreviewClientRoom(layout.work.height, k));
  }
  Animation& a = scene.animation;
  BeginAnimation(a, seed, settings.spriteCount, settings.backdropMode, settings.previewFlag, layout.fieldWidth,
                 layout.fieldHeight, clientWidth / k, clientHeight / k);
  if (a.previewFlag == PreviewOn) {
    SetDrawingScale(a, k, clientWidth, clientHeight);
  } else {
    SetDrawingScale(a, k, layout.desktop.width, layout.desktop.height);
  }
  a.windowLeft = layout.left;
  a.windowTop = layout.top;
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
