// fields.h - one field per monitor: the saver's picture on several monitors.
//
// Full screen, the saver's one window covers the virtual screen: every monitor,
// and whatever lies between monitors of different sizes. Each monitor shows a
// field of its own, the picture a single screen of that size shows: its own
// part of the desktop in its own snapshot, the pit in its own middle, its own
// crowd of sprites coming in from beyond its own edges, drawn at its own whole
// scale (ScaleForDpi of its DPI). The rest of the window stays black. The
// fields share the sprite sheet and one enlarged sheet per scale in use; each
// has its own snapshot, WorkSurface and Scene. One thread steps them all at
// one pace:
//
//   compose every field, wait, present every field, move every field
//
// The primary monitor is field 0 and takes the saver's seed, so one monitor
// gives exactly the frames a single screen gives; field i takes
// FieldSeed(seed, i), so monitors of one size do not show one crowd. The
// preview is one field over its client area (PlanPreviewField).
//
//   FieldSet& set = ...;                                  // large: static or on the heap
//   PlanFields(set, monitors, count, windowRect, seed);  // or PlanPreviewField
//   if (!BuildFields(set, depth, maker)) ...             // no sheet: no animation
//   // import the sheet into set.sheet; copy each animated field's monitor,
//   // field.layout.desktop in size, to (0, 0) of its snapshot
//   BeginFields(set, settings);
//   StartFieldSlots(set, pause, context);
//   for (;;) {
//     ComposeFields(set);
//     // wait out the frame interval
//     // for each animated field: copy PresentScene(field.scene)'s blocks of
//     // its WorkSurface to the window (they are in window coordinates)
//     MoveFields(set);
//   }
//   ReleaseFields(set, maker);
//
// Surfaces come from the front end's SurfaceMaker, asked once per surface: the
// sheet first, then for each field in turn the enlarged sheet of its scale
// (the first time that scale is met), its snapshot and its WorkSurface. A
// field whose surfaces cannot be had at its scale is laid out again at scale
// 1, as on a 96-DPI screen; where even those cannot be had it stays black and
// the others animate. An enlarged sheet that cannot be had sends every field
// of that scale to scale 1; one that no field ends up using is given back.
//
// Monitors are given in screen coordinates, in physical pixels (the window's
// too: with per-monitor DPI awareness both are the display's own pixels). A
// monitor is cut to the window; a monitor that lies in an earlier one's place
// (a mirrored display, or a Xinerama report of several heads at 0, 0), one
// smaller than MinimumFieldExtent either way and all beyond FieldCapacity get
// no field. A field is never drawn at a scale that leaves it less than
// MinimumFieldExtent logical pixels either way.
#ifndef GYREWELL_FIELDS_H
#define GYREWELL_FIELDS_H

#include <cstdint>

#include "effect/scene.h"

constexpr std::int32_t FieldCapacity = 16;
// The sprites' placement needs a field of 32 logical pixels or more.
constexpr std::int32_t MinimumFieldExtent = 32;

struct Monitor {
  std::int32_t left, top, right, bottom;  // screen coordinates; right and bottom exclusive
  std::int32_t dpi;                       // its effective DPI (96 is 100 %)
  bool primary;
};

enum FieldSurfaceKind : std::int32_t { SurfaceSheet, SurfaceEnlarged, SurfaceSnapshot, SurfaceWork };

// One surface BuildFields asks for: index is the field for a snapshot or a
// WorkSurface, the enlarged sheet's place in FieldSet::enlarged, 0 for the
// sheet.
struct SurfaceRequest {
  FieldSurfaceKind kind;
  std::int32_t index;
  SurfaceSize size;
};

// make fills `surface` with a zeroed picture of request.size at the display
// depth, rows back to back, and answers true; false when it cannot be had.
// release gives back what make made for that request.
struct SurfaceMaker {
  bool (*make)(void* context, const SurfaceRequest& request, PixelSurface& surface);
  void (*release)(void* context, const SurfaceRequest& request);
  void* context;
};

struct Field {
  std::int32_t left, top;                    // the picture's top-left in the window
  std::int32_t screenWidth, screenHeight;    // the screen the field is laid out for
  std::int32_t clientWidth, clientHeight;    // what it shows: the monitor, or the preview's client area
  std::int32_t previewFlag;
  std::int32_t wantedScale;                  // for its DPI
  std::uint32_t seed;
  bool animated;                             // its surfaces were had
  SceneLayout layout;                        // as built: scale 1 where memory fell short
  Scene scene;
};

struct EnlargedSheet {
  std::int32_t scale;
  bool made;
  PixelSurface surface;
};

struct FieldSet {
  std::int32_t count;
  Field fields[FieldCapacity];
  std::int32_t depth;
  bool sheetMade;
  PixelSurface sheet;
  std::int32_t enlargedCount;
  EnlargedSheet enlarged[FieldCapacity];
};

// The seed of field i: the saver's own for field 0.
std::uint32_t FieldSeed(std::uint32_t seed, std::int32_t field);

// One field per monitor, laid out but without surfaces. The window is the
// saver's, in screen coordinates.
void PlanFields(FieldSet& set, const Monitor* monitors, std::int32_t count, std::int32_t windowLeft,
                std::int32_t windowTop, std::int32_t windowWidth, std::int32_t windowHeight, std::uint32_t seed);

// The preview's one field: its client area in a window on a screen of that
// size (LayOutPreviewScene), at that scale.
void PlanPreviewField(FieldSet& set, std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t scale,
                      std::int32_t clientWidth, std::int32_t clientHeight, std::uint32_t seed);

// Makes the surfaces (see above) and sets every field's scene.surfaces. False,
// with nothing made, when the sheet cannot be had.
bool BuildFields(FieldSet& set, std::int32_t depth, const SurfaceMaker& maker);

// Gives back every surface BuildFields made.
void ReleaseFields(FieldSet& set, const SurfaceMaker& maker);

// Sets up every animated field's scene (after the sheet is imported).
void BeginFields(FieldSet& set, const SceneSettings& settings);

// Starts slot i of every animated field that has one, for i = 0, 1, ..., then
// calls pause(context); stops and answers false as soon as pause does.
bool StartFieldSlots(FieldSet& set, SlotPause pause, void* context);

void ComposeFields(FieldSet& set);
void MoveFields(FieldSet& set);
// The window was drawn over: every field's next frame goes the full way.
void FieldsPainted(FieldSet& set);

#endif
