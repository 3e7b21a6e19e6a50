// frame_renderer.h - the effect without Windows: the same composition code the
// saver runs, drawing into surfaces in memory and "presenting" into an
// in-memory window. The render tool, the golden-frame tests and the benchmarks
// use it.
//
//   RenderScene scene;
//   RenderSetup setup;                      // depth, screen, count, mode, seed...
//   if (!StartScene(scene, setup, sheetBytes, desktop)) ...
//   for (...) { StepScene(scene); RgbImage frame = WindowPicture(scene); }
//
// The desktop picture is laid into the snapshot as a screen of that depth would
// hold it (at 16 bits each channel keeps its top five bits), the sheet goes
// through the same import as in the saver, and each step is one frame:
// compose, present, move. The screen's size in setup plays the primary
// display; in preview the window is the preview's client area.
#ifndef GYREWELL_FRAME_RENDERER_H
#define GYREWELL_FRAME_RENDERER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effect/animation.h"
#include "png_io.h"

struct RenderSetup {
  std::int32_t depth = 32;
  std::int32_t screenWidth = 1280;
  std::int32_t screenHeight = 800;
  std::int32_t spriteCount = 100;
  std::int32_t backdropMode = 1;
  std::int32_t previewFlag = 0;
  std::int32_t previewWidth = 152;  // client size of the preview window
  std::int32_t previewHeight = 112;
  std::uint32_t seed = 1;
};

struct RenderScene {
  bool presentAll = true;  // the window does not show the previous frame
  std::vector<std::uint8_t> snapshotMemory, workMemory, sheetMemory, windowMemory;
  FrameSurfaces surfaces{};
  PixelSurface window{};
  std::unique_ptr<Animation> animation;
};

// The committed sprite sheet, read from the source tree.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// A screen-sized test desktop: four coloured quadrants with a fine grid, so
// that every region of a frame is recognisable.
RgbImage TestDesktop(std::int32_t width, std::int32_t height);

// Builds the surfaces, imports the sheet, lays the desktop into the snapshot
// (cropped or padded with black to the screen), and starts every slot. False
// when the sheet is refused.
bool StartScene(RenderScene& scene, const RenderSetup& setup, const std::vector<std::uint8_t>& sheet,
                const RgbImage& desktop);

// One frame: compose, present into the window, move.
void StepScene(RenderScene& scene);

// The same frame composed and presented incrementally, as the saver does: only
// the changed blocks, except for the first frame and the first after a paint.
void StepSceneChanged(RenderScene& scene);

// What the saver window's paint handler does: the desktop snapshot over a
// rectangle of the window. The next incremental step then presents in full.
void PaintScene(RenderScene& scene, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

// The window's contents as RGB.
RgbImage WindowPicture(const RenderScene& scene);

// Converts a rectangle of a surface to RGB (16-bit channels widened to 8 bits).
RgbImage SurfacePicture(const PixelSurface& surface, std::int32_t depth, std::int32_t x, std::int32_t y,
                        std::int32_t width, std::int32_t height);

#endif
