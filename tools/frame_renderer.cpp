#include "frame_renderer.h"

#include <algorithm>
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

std::vector<std::uint8_t>* Memory(FrameRenderer& r, const SurfaceRequest& q) {
  switch (q.kind) {
    case SurfaceSheet:
      return &r.sheetMemory;
    case SurfaceEnlarged:
      return &r.enlargedMemory[q.index];
    case SurfaceSnapshot:
      return &r.snapshotMemory[q.index];
    default:
      return &r.workMemory[q.index];
  }
}

bool MakeMemory(void* context, const SurfaceRequest& q, PixelSurface& surface) {
  FrameRenderer& r = *static_cast<FrameRenderer*>(context);
  surface = MakeSurface(*Memory(r, q), r.fields->depth, q.size);
  return true;
}

void ReleaseMemory(void* context, const SurfaceRequest& q) {
  std::vector<std::uint8_t>& memory = *Memory(*static_cast<FrameRenderer*>(context), q);
  memory.clear();
  memory.shrink_to_fit();
}

}  // namespace

bool StartRenderer(FrameRenderer& r, const RenderSetup& setup, const std::vector<std::uint8_t>& sheet,
                   const RgbImage& desktop) {
  const std::int32_t depth = setup.depth;
  r.fields = std::make_unique<FieldSet>();
  FieldSet& set = *r.fields;
  std::int32_t left = 0, top = 0, width = setup.screenWidth, height = setup.screenHeight;
  if (setup.previewFlag == PreviewOn) {
    PlanPreviewField(set, setup.screenWidth, setup.screenHeight, setup.scale, setup.previewWidth,
                     setup.previewHeight, setup.seed);
    width = setup.previewWidth;
    height = setup.previewHeight;
  } else if (setup.monitors.empty()) {
    const Monitor screen = {0, 0, width, height, 96 * setup.scale, true};
    PlanFields(set, &screen, 1, 0, 0, width, height, setup.seed);
  } else {
    std::int32_t right = setup.monitors[0].right, bottom = setup.monitors[0].bottom;
    left = setup.monitors[0].left;
    top = setup.monitors[0].top;
    std::vector<Monitor> monitors = setup.monitors;
    for (Monitor& m : monitors) {
      m.primary = &m == &monitors[0];
      left = std::min(left, m.left);
      top = std::min(top, m.top);
      right = std::max(right, m.right);
      bottom = std::max(bottom, m.bottom);
    }
    width = right - left;
    height = bottom - top;
    PlanFields(set, monitors.data(), static_cast<std::int32_t>(monitors.size()), left, top, width, height,
               setup.seed);
  }
  if (set.count == 0) return false;
  if (!BuildFields(set, depth, SurfaceMaker{MakeMemory, ReleaseMemory, &r})) return false;
  std::vector<std::uint8_t> decodeBuffer(DecodeBufferSize);
  if (ImportSheet(depth, set.sheet, sheet.data(), sheet.size(), decodeBuffer.data()) != 0) return false;
  // The desktop picture covers the window; each field's snapshot takes its
  // part (in preview, the screen from the window's corner).
  for (std::int32_t i = 0; i < set.count; ++i) {
    const Field& f = set.fields[i];
    if (!f.animated) continue;
    const SurfaceSize shown = f.layout.desktop;
    for (std::int32_t y = 0; y < shown.height && f.top + y < desktop.height; ++y)
      for (std::int32_t x = 0; x < shown.width && f.left + x < desktop.width; ++x)
        PutRgb(f.scene.surfaces.snapshot, depth, x, y,
               &desktop.rgb[(static_cast<std::size_t>(f.top + y) * desktop.width + f.left + x) * 3]);
  }
  r.window = MakeSurface(r.windowMemory, depth, SurfaceSize{width, height});
  BeginFields(set, SceneSettings{setup.spriteCount, setup.backdropMode, setup.previewFlag});
  StartFieldSlots(set, nullptr, nullptr);
  r.layout = set.fields[0].layout;
  r.scene = &set.fields[0].scene;
  return true;
}

void RenderChangedFrame(FrameRenderer& r) {
  FieldSet& set = *r.fields;
  ComposeFields(set);
  for (std::int32_t f = 0; f < set.count; ++f) {
    if (!set.fields[f].animated) continue;
    Scene& scene = set.fields[f].scene;
    const FramePresentation& p = PresentScene(scene);
    for (std::int32_t i = 0; i < p.count; ++i) {
      const PresentBlock& b = p.blocks[i];
      CopyRect(set.depth, r.window, b.windowX, b.windowY, b.width, b.height, scene.surfaces.work, b.sourceX,
               b.sourceY);
    }
  }
  MoveFields(set);
}

void RenderFrame(FrameRenderer& r) {
  FieldsPainted(*r.fields);
  RenderChangedFrame(r);
}

void PaintWindow(FrameRenderer& r, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  FieldSet& set = *r.fields;
  for (std::int32_t i = 0; i < set.count; ++i) {
    const Field& f = set.fields[i];
    if (!f.animated) continue;
    const std::int32_t l = std::max(left, f.left), t = std::max(top, f.top);
    const std::int32_t rr = std::min(right, f.left + f.clientWidth), b = std::min(bottom, f.top + f.clientHeight);
    if (rr > l && b > t) {
      CopyRect(set.depth, r.window, l, t, rr - l, b - t, f.scene.surfaces.snapshot, l - f.left, t - f.top);
    }
  }
  FieldsPainted(set);
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
