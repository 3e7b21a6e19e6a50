// web_scene.cpp - see web_scene.h.
#include "web/web_scene.h"

#include <cstdlib>

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

#include "effect/present_route.h"
#include "effect/render/mask_blend.h"
#include "effect/render/packed_image.h"
#include "effect/scene.h"
#include "web/sheet_data.h"

namespace {

// The animation places sprites beyond the field's edges and needs a field of
// at least 32 x 32 (scene pixels) for that.
constexpr std::int32_t SmallestField = 32;
constexpr std::int32_t LargestScale = 8;
constexpr std::int32_t Depth = 32;

// One scene at a time; too large for the stack.
struct WebScene {
  bool built;
  SceneLayout layout;
  Scene scene;
  std::uint8_t* snapshot;
  std::uint8_t* work;
  std::uint8_t* sheet;
  std::uint8_t* enlarged;
  std::uint8_t* picture;  // layout.desktop in size, R, G, B, A
  std::int32_t blockCount;
  std::int32_t blocks[ChangedCapacity * 4];
  std::int32_t bounds[4];
  PresentChooser chooser;
};

WebScene Web;

std::int32_t Clamp(std::int32_t v, std::int32_t lo, std::int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

std::uint8_t* Allocate(const SurfaceSize& size) {
  return static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(size.width) * size.height, Depth / 8));
}

void TearDown() {
  std::free(Web.snapshot);
  std::free(Web.work);
  std::free(Web.sheet);
  std::free(Web.enlarged);
  std::free(Web.picture);
  Web.snapshot = Web.work = Web.sheet = Web.enlarged = Web.picture = nullptr;
  Web.scene.surfaces = FrameSurfaces{};
  Web.blockCount = 0;
  Web.built = false;
}

// Cuts a block to the picture, its source with it; false when nothing is left.
bool CutToPicture(PresentBlock& b) {
  const SurfaceSize picture = Web.layout.desktop;
  const std::int32_t left = b.windowX > 0 ? b.windowX : 0, top = b.windowY > 0 ? b.windowY : 0;
  const std::int32_t right = b.windowX + b.width < picture.width ? b.windowX + b.width : picture.width;
  const std::int32_t bottom = b.windowY + b.height < picture.height ? b.windowY + b.height : picture.height;
  if (right <= left || bottom <= top) return false;
  b = PresentBlock{b.sourceX + left - b.windowX, b.sourceY + top - b.windowY, right - left, bottom - top, left, top};
  return true;
}

// Pixels from B, G, R, x (the effect's) to R, G, B, 255 (the canvas's), or
// back to B, G, R, 0 (a screen's copy) when not opaque: the first and third
// byte of every pixel swap places.
void SwapRedBlue(std::uint8_t* to, const std::uint8_t* from, std::int32_t pixels, bool opaque) {
  std::int32_t x = 0;
#if defined(__wasm_simd128__)
  const v128_t top = wasm_i32x4_splat(static_cast<std::int32_t>(0xFF000000u));
  for (; x + 4 <= pixels; x += 4) {
    const v128_t v = wasm_v128_load(from + 4 * x);
    const v128_t swapped = wasm_i8x16_shuffle(v, v, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    wasm_v128_store(to + 4 * x, opaque ? wasm_v128_or(swapped, top) : wasm_v128_andnot(swapped, top));
  }
#endif
  for (; x < pixels; ++x) {
    to[4 * x] = from[4 * x + 2];
    to[4 * x + 1] = from[4 * x + 1];
    to[4 * x + 2] = from[4 * x];
    to[4 * x + 3] = opaque ? 255 : 0;
  }
}

void ConvertBlock(const PresentBlock& b) {
  const PixelSurface& work = Web.scene.surfaces.work;
  const std::int32_t pictureWidth = Web.layout.desktop.width;
  for (std::int32_t y = 0; y < b.height; ++y) {
    std::uint8_t* to = Web.picture + (static_cast<std::size_t>(b.windowY + y) * pictureWidth + b.windowX) * 4;
    SwapRedBlue(to, PixelAddress(work, Depth, b.sourceX, b.sourceY + y), b.width, true);
  }
}

void PutBlock(std::int32_t* at, const PresentBlock& b) {
  at[0] = b.windowX;
  at[1] = b.windowY;
  at[2] = b.width;
  at[3] = b.height;
}

}  // namespace

std::int32_t gyrewell_start(std::int32_t width, std::int32_t height, std::int32_t scale, std::int32_t count,
                            std::int32_t backdrop, std::uint32_t seed) {
  TearDown();
  if (width < 1 || height < 1 || width > LargestSide || height > LargestSide) return StartTooLarge;
  const std::int32_t k = Clamp(scale, 1, LargestScale);
  const std::int32_t least = SmallestField * k;
  Web.layout = LayOutScene(width > least ? width : least, height > least ? height : least, k);
  const SceneLayout& l = Web.layout;
  Web.snapshot = Allocate(l.snapshot);
  Web.work = Allocate(l.work);
  Web.sheet = Allocate(l.sheet);
  Web.enlarged = k > 1 ? Allocate(l.enlarged) : nullptr;
  Web.picture = Allocate(l.desktop);
  std::uint8_t* decodeBuffer = static_cast<std::uint8_t*>(std::malloc(DecodeBufferSize));
  if (Web.snapshot == nullptr || Web.work == nullptr || Web.sheet == nullptr || (k > 1 && Web.enlarged == nullptr) ||
      Web.picture == nullptr || decodeBuffer == nullptr) {
    std::free(decodeBuffer);
    TearDown();
    return StartNoMemory;
  }
  FrameSurfaces& s = Web.scene.surfaces;
  s.depth = Depth;
  s.snapshot = PixelSurface{Web.snapshot, l.snapshot.width, l.snapshot.height};
  s.work = PixelSurface{Web.work, l.work.width, l.work.height};
  s.sheet = PixelSurface{Web.sheet, l.sheet.width, l.sheet.height};
  s.enlarged = PixelSurface{Web.enlarged, l.enlarged.width, l.enlarged.height};
  ImportSheet(Depth, s.sheet, SheetBitmap, SheetBitmapSize, decodeBuffer);
  std::free(decodeBuffer);
  const SceneSettings settings{HoldSetting(SpriteCountRule, count), HoldSetting(BackdropModeRule, backdrop),
                               PreviewOff};
  BeginScene(Web.scene, l, settings, l.desktop.width, l.desktop.height, seed);
  StartSceneSlots(Web.scene, nullptr, nullptr);
  Web.chooser = PresentChooser{};
  Web.built = true;
  return StartDone;
}

std::int32_t gyrewell_width() { return Web.built ? Web.layout.desktop.width : 0; }
std::int32_t gyrewell_height() { return Web.built ? Web.layout.desktop.height : 0; }
std::int32_t gyrewell_scale() { return Web.built ? Web.layout.scale : 0; }
std::uint8_t* gyrewell_picture() { return Web.picture; }

void gyrewell_lay_desktop() {
  if (!Web.built) return;
  const SurfaceSize d = Web.layout.desktop;
  const PixelSurface& snapshot = Web.scene.surfaces.snapshot;
  for (std::int32_t y = 0; y < d.height; ++y) {
    SwapRedBlue(PixelAddress(snapshot, Depth, 0, y), Web.picture + static_cast<std::size_t>(y) * d.width * 4, d.width,
                false);
  }
  SceneWindowPainted(Web.scene);
}

void gyrewell_compose() {
  if (Web.built) ComposeScene(Web.scene);
}

std::int32_t gyrewell_present() {
  Web.blockCount = 0;
  Web.bounds[0] = Web.bounds[1] = Web.bounds[2] = Web.bounds[3] = 0;
  if (!Web.built) return 0;
  const FramePresentation& p = PresentScene(Web.scene);
  for (std::int32_t i = 0; i < p.count; ++i) {
    PresentBlock b = p.blocks[i];
    if (!CutToPicture(b)) continue;
    ConvertBlock(b);
    PutBlock(&Web.blocks[4 * Web.blockCount++], b);
  }
  PresentBlock bounds = p.bounds;
  if (Web.blockCount > 0 && CutToPicture(bounds)) PutBlock(Web.bounds, bounds);
  return Web.blockCount;
}

const std::int32_t* gyrewell_blocks() { return Web.blocks; }
const std::int32_t* gyrewell_bounds() { return Web.bounds; }

void gyrewell_move() {
  if (Web.built) MoveScene(Web.scene);
}

std::int32_t gyrewell_route() { return ChoosePresentRoute(Web.chooser); }

void gyrewell_route_cost(std::int32_t route, std::int32_t microseconds) {
  RecordPresentCost(Web.chooser, route == PresentPerBlock ? PresentPerBlock : PresentClipped, microseconds);
}

const char* gyrewell_blend_kernel() { return MaskBlendKernelName(); }
