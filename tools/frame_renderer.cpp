#include "frame_renderer.h"

#include <cstdio>

#include "effect/render/packed_image.h"
#include "effect/render/rect_copy.h"

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  std::uint8_t chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(f);
  return bytes;
}

RgbImage TestDesktop(std::int32_t width, std::int32_t height) {
  RgbImage image;
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  static const std::uint8_t quadrant[4][3] = {{200, 60, 40}, {40, 150, 70}, {50, 80, 190}, {230, 220, 200}};
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint8_t* q = quadrant[(y >= height / 2) * 2 + (x >= width / 2)];
      const bool grid = x % 40 == 0 || y % 40 == 0;
      std::uint8_t* p = &image.rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      for (int c = 0; c < 3; ++c) p[c] = grid ? static_cast<std::uint8_t>(q[c] / 2) : q[c];
    }
  }
  return image;
}

namespace {

void PutRgb(const PixelSurface& s, std::int32_t depth, std::int32_t x, std::int32_t y, const std::uint8_t* rgb) {
  std::uint8_t* p = PixelAddress(s, depth, x, y);
  if (depth == 16) {
    const std::uint32_t word = static_cast<std::uint32_t>(rgb[2] >> 3 | (rgb[1] >> 3) << 5 | (rgb[0] >> 3) << 10);
    p[0] = static_cast<std::uint8_t>(word);
    p[1] = static_cast<std::uint8_t>(word >> 8);
  } else {
    p[0] = rgb[2];
    p[1] = rgb[1];
    p[2] = rgb[0];
    if (depth == 32) p[3] = 0;
  }
}

PixelSurface MakeSurface(std::vector<std::uint8_t>& memory, std::int32_t depth, const SurfaceSize& size) {
  memory.assign(static_cast<std::size_t>(size.width) * size.height * (depth / 8), 0);
  return PixelSurface{memory.data(), size.width, size.height};
}

}  // namespace

bool StartRenderer(FrameRenderer& r, const RenderSetup& setup, const std::vector<std::uint8_t>& sheet,
                   const RgbImage& desktop) {
  const std::int32_t depth = setup.depth;
  r.layout = setup.previewFlag == PreviewOn ? LayOutPreviewScene(setup.screenWidth, setup.screenHeight, setup.scale,
                                                                  setup.previewWidth, setup.previewHeight)
                                            : LayOutScene(setup.screenWidth, setup.screenHeight, setup.scale);
  r.scene = std::make_unique<Scene>();
  FrameSurfaces& s = r.scene->surfaces;
  s.depth = depth;
  s.snapshot = MakeSurface(r.snapshotMemory, depth, r.layout.snapshot);
  s.work = MakeSurface(r.workMemory, depth, r.layout.work);
  s.sheet = MakeSurface(r.sheetMemory, depth, r.layout.sheet);
  s.enlarged = MakeSurface(r.enlargedMemory, depth, r.layout.enlarged);
  std::vector<std::uint8_t> decodeBuffer(DecodeBufferSize);
  if (ImportSheet(depth, s.sheet, sheet.data(), sheet.size(), decodeBuffer.data()) != 0) return false;
  const SurfaceSize shown = r.layout.desktop;
  for (std::int32_t y = 0; y < shown.height && y < desktop.height; ++y)
    for (std::int32_t x = 0; x < shown.width && x < desktop.width; ++x)
      PutRgb(s.snapshot, depth, x, y, &desktop.rgb[(static_cast<std::size_t>(y) * desktop.width + x) * 3]);

  const std::int32_t cw = setup.previewFlag == PreviewOn ? setup.previewWidth : setup.screenWidth;
  const std::int32_t ch = setup.previewFlag == PreviewOn ? setup.previewHeight : setup.screenHeight;
  r.window = MakeSurface(r.windowMemory, depth, SurfaceSize{cw, ch});
  BeginScene(*r.scene, r.layout, SceneSettings{setup.spriteCount, setup.backdropMode, setup.previewFlag}, cw, ch,
             setup.seed);
  StartSceneSlots(*r.scene, nullptr, nullptr);
  return true;
}

void RenderChangedFrame(FrameRenderer& r) {
  ComposeScene(*r.scene);
  const FramePresentation& p = PresentScene(*r.scene);
  const FrameSurfaces& s = r.scene->surfaces;
  for (std::int32_t i = 0; i < p.count; ++i) {
    const PresentBlock& b = p.blocks[i];
    CopyRect(s.depth, r.window, b.windowX, b.windowY, b.width, b.height, s.work, b.sourceX, b.sourceY);
  }
  MoveScene(*r.scene);
}

void RenderFrame(FrameRenderer& r) {
  SceneWindowPainted(*r.scene);
  RenderChangedFrame(r);
}

void PaintWindow(FrameRenderer& r, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  const FrameSurfaces& s = r.scene->surfaces;
  CopyRect(s.depth, r.window, left, top, right - left, bottom - top, s.snapshot, left, top);
  SceneWindowPainted(*r.scene);
}

RgbImage SurfacePicture(const PixelSurface& surface, std::int32_t depth, std::int32_t x, std::int32_t y,
                        std::int32_t width, std::int32_t height) {
  RgbImage image;
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  for (std::int32_t r = 0; r < height; ++r) {
    for (std::int32_t c = 0; c < width; ++c) {
      const std::uint8_t* p = PixelAddress(surface, depth, x + c, y + r);
      std::uint8_t* out = &image.rgb[(static_cast<std::size_t>(r) * width + c) * 3];
      if (depth == 16) {
        const std::uint32_t word = static_cast<std::uint32_t>(p[0] | p[1] << 8);
        const std::uint32_t channel[3] = {word >> 10 & 31, word >> 5 & 31, word & 31};
        for (int i = 0; i < 3; ++i) out[i] = static_cast<std::uint8_t>(channel[i] << 3 | channel[i] >> 2);
      } else {
        out[0] = p[2];
        out[1] = p[1];
        out[2] = p[0];
      }
    }
  }
  return image;
}

RgbImage WindowPicture(const FrameRenderer& r) {
  return SurfacePicture(r.window, r.scene->surfaces.depth, 0, 0, r.window.width, r.window.height);
}
