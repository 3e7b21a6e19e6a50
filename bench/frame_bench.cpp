// Figures for whole frames: one frame step (compose, present into an in-memory
// window, move) with 200 sprites on the desktop backdrop, at 1920 x 1080 and
// 3840 x 2160, each depth, and drawn at scale 1 and 2 (a 200 % display: the
// same screen, everything drawn twice as large), next to the cost of two plain
// full-field copies
// (the backdrop in, the picture out) measured in the same run:
//   vs_two_copies = frame step / two full copies
// for the full recomposition (changed:0) and for the incremental one (changed:1),
// and per frame what the saver's presentation costs the window (averages over
// 100 frames after the timing):
//   present_calls     GDI calls by the clipped route (one region, one blit)
//   presented_pixels  pixels that copy writes: the union of the changed blocks
//   per_block_calls, per_block_pixels   the same for one blit per block
// (the saver takes whichever route is cheaper where it runs; see
// effect/present_route.h). Then the same step for several monitors (a field
// each) with the memory their surfaces take, and the effect's start
// (surfaces, sheet import, desktop snapshot).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "effect/present_route.h"
#include "effect/render/rect_copy.h"
#include "frame_renderer.h"

namespace {

const std::vector<std::uint8_t>& Sheet() {
  static const std::vector<std::uint8_t> sheet = ReadFileBytes(std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp");
  return sheet;
}

RenderSetup Setup(const benchmark::State& state, bool scaled) {
  RenderSetup s;
  s.depth = static_cast<std::int32_t>(state.range(0));
  s.screenWidth = static_cast<std::int32_t>(state.range(1));
  s.screenHeight = s.screenWidth == 3840 ? 2160 : 1080;
  s.spriteCount = 200;
  s.backdropMode = BackdropDesktop;
  s.seed = 42;
  s.scale = scaled ? static_cast<std::int32_t>(state.range(3)) : 1;
  return s;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The fastest of a few repetitions of the two copies a full recomposition pays.
double TwoFullCopies(FrameRenderer& r) {
  const FrameSurfaces& s = r.scene->surfaces;
  const std::int32_t w = r.layout.desktop.width, h = r.layout.desktop.height;
  double best = 1e9;
  for (int rep = 0; rep < 15; ++rep) {
    const auto start = std::chrono::steady_clock::now();
    CopyRect(s.depth, s.work, FieldMargin, FieldMargin, w, h, s.snapshot, 0, 0);
    CopyRect(s.depth, r.window, 0, 0, w, h, s.work, FieldMargin, FieldMargin);
    benchmark::ClobberMemory();
    best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
  }
  return best;
}

// changed: 0 for the full recomposition and presentation of every frame, 1 for
// the incremental one the saver uses.
void BM_FrameStep(benchmark::State& state) {
  const bool changed = state.range(2) != 0;
  FrameRenderer scene;
  if (!StartRenderer(scene, Setup(state, true), Sheet(), TestDesktop(1, 1))) {
    state.SkipWithError("no sheet");
    return;
  }
  auto step = [&] { changed ? RenderChangedFrame(scene) : RenderFrame(scene); };
  for (int warm = 0; warm < 40; ++warm) step();  // sprites on screen
  const double copies = TwoFullCopies(scene);
  SceneWindowPainted(*scene.scene);  // the copies above wrote the window
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    step();
    benchmark::ClobberMemory();
  }
  const double frame = Seconds(std::chrono::steady_clock::now() - start) / static_cast<double>(state.iterations());
  state.counters["two_copies_ms"] = copies * 1e3;
  state.counters["vs_two_copies"] = frame / copies;

  // The window's pixels each presentation writes, counted once however many
  // blocks cover them: what the clipped copy writes.
  std::vector<std::uint8_t> covered(static_cast<std::size_t>(scene.window.width) * scene.window.height);
  double calls = 0, pixels = 0, blockCalls = 0, blockPixels = 0;
  const int frames = 100;
  for (int f = 0; f < frames; ++f) {
    step();
    const FramePresentation& p = scene.scene->presentation;
    calls += PresentCalls(PresentClipped, p);
    blockCalls += PresentCalls(PresentPerBlock, p);
    for (int pass = 0; pass < 2; ++pass) {  // mark, then clear for the next frame
      for (std::int32_t i = 0; i < p.count; ++i) {
        const PresentBlock& b = p.blocks[i];
        if (pass == 0) blockPixels += static_cast<double>(b.width) * b.height;
        for (std::int32_t y = b.windowY; y < b.windowY + b.height; ++y) {
          std::uint8_t* row = &covered[static_cast<std::size_t>(y) * scene.window.width];
          for (std::int32_t x = b.windowX; x < b.windowX + b.width; ++x) {
            if (pass == 0) pixels += row[x] == 0;
            row[x] = pass == 0;
          }
        }
      }
    }
  }
  state.counters["present_calls"] = calls / frames;
  state.counters["presented_pixels"] = pixels / frames;
  state.counters["per_block_calls"] = blockCalls / frames;
  state.counters["per_block_pixels"] = blockPixels / frames;
}
BENCHMARK(BM_FrameStep)
    ->ArgsProduct({{16, 24, 32}, {1920, 3840}, {0, 1}, {1, 2}})
    ->ArgNames({"depth", "width", "changed", "scale"})
    ->Unit(benchmark::kMillisecond);

// Several monitors: one frame step of every field (the saver's incremental
// composition and presentation, 200 sprites each, 32 bits), and the surfaces
// the layout takes (the sheet, enlarged sheets, each field's snapshot and
// WorkSurface), against one 1920 x 1080 field in the same run.
//   layout 0  one 1920 x 1080 monitor
//   layout 1  two 1920 x 1080 monitors side by side
//   layout 2  3840 x 2160 at 200 % beside 1920 x 1080 at 100 %
void BM_FieldsStep(benchmark::State& state) {
  RenderSetup s;
  s.depth = 32;
  s.spriteCount = 200;
  s.seed = 42;
  switch (state.range(0)) {
    case 0:
      s.monitors = {{0, 0, 1920, 1080, 96, true}};
      break;
    case 1:
      s.monitors = {{0, 0, 1920, 1080, 96, true}, {1920, 0, 3840, 1080, 96, false}};
      break;
    default:
      s.monitors = {{0, 0, 3840, 2160, 192, true}, {3840, 0, 5760, 1080, 96, false}};
      break;
  }
  FrameRenderer r;
  if (!StartRenderer(r, s, Sheet(), TestDesktop(1, 1))) {
    state.SkipWithError("no sheet");
    return;
  }
  for (int warm = 0; warm < 40; ++warm) RenderChangedFrame(r);
  for (auto _ : state) {
    RenderChangedFrame(r);
    benchmark::ClobberMemory();
  }
  double bytes = static_cast<double>(r.sheetMemory.size());
  for (std::int32_t i = 0; i < FieldCapacity; ++i)
    bytes += static_cast<double>(r.snapshotMemory[i].size() + r.workMemory[i].size() + r.enlargedMemory[i].size());
  state.counters["surfaces_mib"] = bytes / (1024.0 * 1024.0);
  state.counters["fields"] = r.fields->count;
}
BENCHMARK(BM_FieldsStep)->DenseRange(0, 2)->ArgNames({"layout"})->Unit(benchmark::kMillisecond);

void BM_EffectStart(benchmark::State& state) {
  const RenderSetup setup = Setup(state, false);
  const RgbImage desktop = TestDesktop(setup.screenWidth, setup.screenHeight);
  for (auto _ : state) {
    FrameRenderer scene;
    benchmark::DoNotOptimize(StartRenderer(scene, setup, Sheet(), desktop));
  }
}
BENCHMARK(BM_EffectStart)
    ->ArgsProduct({{16, 24, 32}, {1920, 3840}})
    ->ArgNames({"depth", "width"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
