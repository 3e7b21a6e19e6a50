// Figures for the pixel core: the mask blend on sprite-sized and pit-sized cells,
// and the import of a full 288 x 384 8-bit sheet, at each display depth. Each
// benchmark reports time_per_pixel. Beside the blend, pixman (the compositing
// library under cairo and X) does OVER with an a8 mask on the same block size
// into a destination of the same depth (x8r8g8b8, r8g8b8, x1r5g5b5), measured in
// the same run: pixman_per_pixel and speedup_vs_pixman (pixman / ours). Run: scripts/bench (or build the bench preset).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "effect/render/bitmap_import.h"
#include "effect/render/mask_blend.h"
#include "effect/scene.h"

namespace {

std::uint32_t Next(std::uint32_t& seed) {
  seed = seed * 1103515245u + 12345u;
  return seed >> 16 & 0x7FFF;
}

// Shown as seconds with an SI prefix: "time_per_pixel=2.5n" is 2.5 ns a pixel.
void ReportTimePerPixel(benchmark::State& state, std::int32_t pixels) {
  state.counters["time_per_pixel"] = benchmark::Counter(
      static_cast<double>(pixels), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Seconds per pixel of one call on a cell x cell block: the best of 15 batches.
template <typename Call>
double BestPerPixel(std::int32_t cell, Call call) {
  const int batch = 96 * 96 * 100 / (cell * cell);
  double best = 1e9;
  for (int rep = 0; rep < 15; ++rep) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < batch; ++i) call();
    const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best = std::min(best, t / batch / (cell * cell));
  }
  return best;
}

// Seconds per pixel of pixman's OVER through an a8 mask of the same shape as
// ours, best of several timed batches.
double PixmanOverPerPixel(std::int32_t depth, std::int32_t cell) {
  const pixman_format_code_t format = depth == 16 ? PIXMAN_x1r5g5b5 : depth == 24 ? PIXMAN_r8g8b8 : PIXMAN_x8r8g8b8;
  const int stride = ((cell * depth / 8) + 3) & ~3, maskStride = (cell + 3) & ~3;
  std::vector<std::uint32_t> dst(static_cast<std::size_t>(stride * cell / 4 + 1)), src(static_cast<std::size_t>(cell * cell));
  std::vector<std::uint32_t> mask(static_cast<std::size_t>(maskStride * cell / 4 + 1));
  std::uint32_t seed = 3;
  for (auto& v : src) v = 0xFF000000u | (Next(seed) << 9 ^ Next(seed));
  auto* m = reinterpret_cast<std::uint8_t*>(mask.data());
  for (std::int32_t y = 0; y < cell; ++y) {
    for (std::int32_t x = 0; x < cell; ++x) {
      const std::int32_t band = (x * 10 + (y % 3)) / cell;
      m[y * maskStride + x] = static_cast<std::uint8_t>(band < 4 ? 0 : band < 8 ? 255 : 1 + Next(seed) % 254);
    }
  }
  pixman_image_t* d = pixman_image_create_bits(format, cell, cell, dst.data(), stride);
  pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, cell, cell, src.data(), cell * 4);
  pixman_image_t* k = pixman_image_create_bits(PIXMAN_a8, cell, cell, mask.data(), maskStride);
  const double best = BestPerPixel(cell, [&] {
    pixman_image_composite32(PIXMAN_OP_OVER, s, k, d, 0, 0, 0, 0, 0, 0, cell, cell);
  });
  pixman_image_unref(d);
  pixman_image_unref(s);
  pixman_image_unref(k);
  return best;
}

// Three cells side by side on one sheet, as the animation lays them out:
// destination, source, mask. The mask is about 40 % zero, 40 % full and
// 20 % partial, in runs like a sprite's silhouette rather than salt and pepper.
void BM_MaskBlend(benchmark::State& state) {
  const std::int32_t depth = static_cast<std::int32_t>(state.range(0));
  const std::int32_t cell = static_cast<std::int32_t>(state.range(1));
  const std::int32_t width = 3 * cell;
  const std::int32_t bytes = depth / 8;
  std::vector<std::uint8_t> memory(static_cast<std::size_t>(width * cell * bytes));
  std::uint32_t seed = 1;
  for (auto& b : memory) b = static_cast<std::uint8_t>(Next(seed));
  const PixelSurface sheet = {memory.data(), width, cell};
  const std::uint32_t full = depth == 16 ? 31 : 255;
  for (std::int32_t y = 0; y < cell; ++y) {
    for (std::int32_t x = 0; x < cell; ++x) {
      const std::int32_t band = (x * 10 + (y % 3)) / cell;  // 0..9 across the row
      std::uint32_t m = band < 4 ? 0 : band < 8 ? full : 1 + Next(seed) % (full - 1);
      std::uint8_t* p = PixelAddress(sheet, depth, 2 * cell + x, y);
      p[0] = static_cast<std::uint8_t>(m);
    }
  }
  for (auto _ : state) {
    MaskBlend(depth, sheet, 0, 0, cell, cell, sheet, cell, 0, sheet, 2 * cell, 0);
    benchmark::ClobberMemory();
  }
  ReportTimePerPixel(state, cell * cell);
  // The comparison times both the same way, best of several batches, so that
  // a busy machine does not favour either.
  const double pixman = PixmanOverPerPixel(depth, cell);
  const double ours = BestPerPixel(cell, [&] {
    MaskBlend(depth, sheet, 0, 0, cell, cell, sheet, cell, 0, sheet, 2 * cell, 0);
    benchmark::ClobberMemory();
  });
  state.counters["pixman_per_pixel"] = pixman;
  state.counters["speedup_vs_pixman"] = pixman / ours;
}
BENCHMARK(BM_MaskBlend)->ArgsProduct({{16, 24, 32}, {24, 96}})->ArgNames({"depth", "cell"});

std::vector<std::uint8_t> SheetImage() {
  const std::int32_t width = 288, height = 384;
  std::vector<std::uint8_t> image(54 + 1024 + static_cast<std::size_t>(width * height), 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  image[0] = 'B';
  image[1] = 'M';
  put32(2, static_cast<std::uint32_t>(image.size()));
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  image[26] = 1;
  image[28] = 8;
  for (std::uint32_t i = 0; i < 256; ++i) put32(54 + 4 * i, i * 0x010101u);
  std::uint32_t seed = 7;
  for (std::size_t i = 1078; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(Next(seed));
  return image;
}

void BM_ImportSheet(benchmark::State& state) {
  const std::int32_t depth = static_cast<std::int32_t>(state.range(0));
  const std::vector<std::uint8_t> image = SheetImage();
  const SurfaceSize size = LayOutScene(1920, 1080, 1).sheet;
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(size.width) * size.height * depth / 8);
  const PixelSurface sheet = {bits.data(), size.width, size.height};
  for (auto _ : state) {
    benchmark::DoNotOptimize(ImportBitmap(depth, sheet, 0, 0, image.data(), image.size()));
    benchmark::ClobberMemory();
  }
  ReportTimePerPixel(state, 288 * 384);
}
BENCHMARK(BM_ImportSheet)->Arg(16)->Arg(24)->Arg(32)->ArgName("depth");

}  // namespace
