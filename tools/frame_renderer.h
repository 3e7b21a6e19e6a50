// frame_renderer.h - the saver's picture without Windows: the scene the saver
// runs (effect/scene.h), over surfaces in memory, presented into an in-memory
// window. The render tool, the golden-frame and equivalence tests and the
// benchmarks use it.
//
//   FrameRenderer r;
//   RenderSetup setup;                      // depth, screen, count, mode, seed...
//   if (!StartRenderer(r, setup, sheetBytes, desktop)) ...
//   for (...) { RenderFrame(r); RgbImage frame = WindowPicture(r); }
//
// Only what the saver's Win32 shell does itself is done here instead: the
// fields (effect/fields.h) get vectors for surfaces, each its own allocation,
// the desktop picture is laid into each snapshot as a screen of that depth
// would hold it (at 16 bits each channel keeps its top five bits), there is no
// clock, and presenting copies blocks into the window's memory. The screen's
// size in setup plays the primary display, or setup.monitors lists several
// (the window is then their bounding box, the desktop picture covers it, and
// what lies between monitors stays black); in preview the window is the
// preview's client area.
#ifndef GYREWELL_FRAME_RENDERER_H
#define GYREWELL_FRAME_RENDERER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effect/fields.h"
#include "effect/scene.h"
#include "png_io.h"

struct RenderSetup {
  std::int32_t depth = 32;
  std::int32_t screenWidth = 1280;
  std::int32_t screenHeight = 800;
  std::int32_t spriteCount = 100;
  std::int32_t backdropMode = BackdropDesktop;
  std::int32_t previewFlag = PreviewOff;
  std::int32_t previewWidth = 152;  // client size of the preview window
  std::int32_t previewHeight = 112;
  std::uint32_t seed = 1;
  std::int32_t scale = 1;           // display scaling: 2 at 192 DPI (screen and preview sizes are the display's)
  // Several monitors, each with its DPI (the scale is then each one's own);
  // the first listed is the primary. Empty: one screen as above.
  std::vector<Monitor> monitors;
};

struct FrameRenderer {
  std::unique_ptr<FieldSet> fields;
  std::vector<std::uint8_t> sheetMemory, windowMemory;
  std::vector<std::uint8_t> snapshotMemory[FieldCapacity], workMemory[FieldCapacity], enlargedMemory[FieldCapacity];
  PixelSurface window{};
  // Field 0, the primary display's: the whole picture but on several monitors.
  SceneLayout layout{};
  Scene* scene = nullptr;
};

// The committed sprite sheet, read from the source tree.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// A screen-sized test desktop: four coloured quadrants with a fine grid, so
// that every region of a frame is recognisable.
RgbImage TestDesktop(std::int32_t width, std::int32_t height);

// Lays out and allocates the surfaces, imports the sheet, lays the desktop into
// each snapshot (cropped or padded with black to the screen), and starts every
// slot. False when the sheet is refused or cannot be had.
bool StartRenderer(FrameRenderer& r, const RenderSetup& setup, const std::vector<std::uint8_t>& sheet,
                   const RgbImage& desktop);

// One frame composed and presented in full: compose, present, move (every
// field, each step for all of them in turn, as the saver does).
void RenderFrame(FrameRenderer& r);

// One frame as the saver makes it: only what changed is composed and presented,
// except for the first frame and the first after a paint.
void RenderChangedFrame(FrameRenderer& r);

// What the saver window's paint handler does: each field's desktop snapshot
// over a rectangle of the window. The next frame is then presented in full.
void PaintWindow(FrameRenderer& r, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

// The window's contents as RGB.
RgbImage WindowPicture(const FrameRenderer& r);

// Converts a rectangle of a surface to RGB (16-bit channels widened to 8 bits).
RgbImage SurfacePicture(const PixelSurface& surface, std::int32_t depth, std::int32_t x, std::int32_t y,
                        std::int32_t width, std::int32_t height);

#endif
