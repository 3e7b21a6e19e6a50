// animation.h - the sprite simulation and the composition of one frame.
//
// Everything here is plain arithmetic over plain memory, so the animation can be
// run, replayed and pictured without Windows. Front ends do not call it piece by
// piece: scene.h lays out the surfaces, starts the animation and steps the
// frames, and the saver's thread (animation_thread.cpp) adds only the clock, the
// sleeps, the stop request and the copy to the window.
//
// The field is W x H where H is one more than the rows shown; the WorkSurface is
// (W + 64) x (H + 64) with the visible picture at (32, 32), and the pit sits at its
// centre (Cx, Cy) = ((W + 64) / 2, (H + 64) / 2). In preview mode W and H become
// the preview's client size plus 64, and the block presented starts at (64, 64).
//
// Each sprite slot starts beyond an edge of the visible picture, waits out a start
// delay of 1..30 frames, then makes 30 equal moves toward the pit (the quotient is
// truncated, so it stops short by up to 29 pixels), fading through the mask levels
// 1..8 over its last eight drawings, and is placed again. A frame is:
//   1. backdrop: the snapshot at (32, 32) with the pit blended into the middle,
//      or plain black (no pit) for the black backdrop;
//   2. sprites in slot order, each blended through its fade mask in a scratch
//      cell of the sheet and copied back (later slots cover earlier ones);
//   3. (thread) wait out the frame interval, present, then move the slots.
//
// Composing only what changed: between two frames the WorkSurface differs only
// where the previous frame and this one drew, so ComposeChangedFrame restores
// just the previous frame's cells from the backdrop and draws the sprites again
// (blending straight into the WorkSurface rather than through the sheet's
// scratch cells, which gives the same bytes). The pit is the same in every
// frame: when it lies wholly inside the picture it is blended again only where
// the backdrop was put back. The presentation copies only the old and new
// cells. The result is byte for byte what ComposeFrame and a full presentation
// give, as long as the window still shows the previous frame: the first frame,
// and any frame after the window was painted over, go the full way.
//
// Random numbers come from our own 32-bit LCG (s = s * 214013 + 2531011, bits
// 16..30), so a seed gives the same animation with every compiler and runtime.
#ifndef GYREWELL_ANIMATION_H
#define GYREWELL_ANIMATION_H

#include <cstdint>

#include "effect/render/pixel_surface.h"

constexpr std::int32_t SlotCapacity = 200;
constexpr std::int32_t SpriteSize = 24;
constexpr std::int32_t PitSize = 96;
constexpr std::int32_t MovesPerCycle = 30;
constexpr std::int32_t KindCount = 6;    // sprite pictures
constexpr std::int32_t LevelCount = 10;  // fade levels

// The part of the sheet the frame draws from: the pictures, their masks, the
// pit and the scratch cells.
constexpr std::int32_t SheetArtWidth = 288;
constexpr std::int32_t SheetArtHeight = 384;

// A frame changes at most the pit and every sprite's old and new cell.
constexpr std::int32_t ChangedCapacity = 2 * (SlotCapacity + 1);

// The WorkSurface has a margin this wide on every side of the visible picture,
// so that a sprite cell drawn anywhere from 0 to W + 32 across and 0 to H + 32
// down lies wholly inside it and no copy into it needs clipping.
constexpr std::int32_t FieldMargin = 32;

// The WorkSurface's extent along one axis, for a field that long.
constexpr std::int32_t WorkExtent(std::int32_t field) { return field + 2 * FieldMargin; }

// The preview indicator (PreviewFlag): the command line asks for the Display
// control panel's preview.
constexpr std::int32_t PreviewOff = 0;
constexpr std::int32_t PreviewOn = 1;

// Pace and crowd. Full screen the interval is the shortest wait there is, so
// frames follow as fast as drawing and one 1 ms sleep allow; the preview, a
// thumbnail that runs while the user works in the Display settings, draws a
// small crowd at ten frames a second at most.
constexpr std::uint32_t SaverFrameInterval = 1;     // milliseconds
constexpr std::uint32_t PreviewFrameInterval = 100;  // milliseconds
constexpr std::int32_t PreviewSpriteCount = 20;

// In preview the field is the client area with twice the margin around it, so
// that the pit sits in the middle of the little window and the presented block
// starts at (64, 64), beyond every placement.
constexpr std::int32_t PreviewField(std::int32_t client) { return client + 2 * FieldMargin; }

struct DrawnCell {
  std::int32_t x, y, width, height;  // in WorkSurface pixels
};

// One table per field, indexed by slot.
struct SpriteSlots {
  std::uint16_t kind[SlotCapacity];   // picture 0..5: sheet column kind * 24
  std::uint16_t delay[SlotCapacity];  // frames until the next move
  std::uint16_t step[SlotCapacity];   // moves since the slot was placed, 0..30
  std::uint16_t level[SlotCapacity];  // fade level 0..9: mask row (level + 1) * 24
  std::int32_t x[SlotCapacity];       // top-left of the 24 x 24 cell in WorkSurface pixels
  std::int32_t y[SlotCapacity];
  std::int32_t vx[SlotCapacity];      // displacement of one move
  std::int32_t vy[SlotCapacity];
};

struct Animation {
  std::uint32_t random;          // generator state
  std::int32_t spriteCount;      // slots in use, 1..SlotCapacity
  std::int32_t backdropMode;     // BackdropDesktop: desktop with the pit; anything else black
  std::int32_t previewFlag;      // PreviewOn in the Display control panel's preview
  std::int32_t width;            // W
  std::int32_t height;           // H
  std::int32_t clientWidth;      // the window's client size, read at the start
  std::int32_t clientHeight;
  std::uint32_t frameInterval;   // milliseconds: 1 full screen, 100 in preview
  // Drawing size. Everything above is in logical pixels; the sprites and the
  // pit are drawn scale times larger, and the WorkSurface, the drawn cells and
  // the presentation are in the display's pixels. shownWidth x shownHeight is
  // the picture the window shows in display pixels: scale times the logical
  // one, and the few columns and rows beyond the last whole logical pixel,
  // which keep the backdrop.
  std::int32_t scale;
  std::int32_t shownWidth;
  std::int32_t shownHeight;
  // Where the shown picture's top-left corner lies in the window: 0, 0 but
  // for the fields of a saver on several monitors.
  std::int32_t windowLeft;
  std::int32_t windowTop;
  SpriteSlots slots;
  // What the last composed frame drew (the pit, when it was drawn, then the
  // sprites), and the blocks of the presented picture that changed since the
  // previous presentation (a sprite's old and new cells, alone or joined).
  std::int32_t drawnCount;
  DrawnCell drawn[SlotCapacity + 1];
  std::int32_t changedCount;
  DrawnCell changed[ChangedCapacity];
  // Where each sprite mask (kind * LevelCount + level) and the pit mask are not
  // empty, relative to their cells; measured on the sheet by the first
  // ComposeFrame after BeginAnimation.
  bool inkMeasured;
  DrawnCell spriteInk[KindCount * LevelCount];
  DrawnCell pitInk;
};

// The three surfaces a frame is composed with, all at `depth` bits per pixel.
struct FrameSurfaces {
  std::int32_t depth;
  PixelSurface snapshot;  // the desktop as it was
  PixelSurface work;      // the frame being composed
  PixelSurface sheet;     // sprite sheet and scratch cells
  PixelSurface enlarged;  // scale above 1: the sheet's art, scale times larger
};

// The WorkSurface block that is shown, and where it goes in the window.
struct PresentBlock {
  std::int32_t sourceX, sourceY, width, height, windowX, windowY;
};

// What the window receives for the last composed frame: the blocks that
// changed, in window coordinates (after a full composition one block, the
// whole picture), and the smallest block that holds them all (all zero when
// there is none). Blocks may overlap; they are all read from the finished
// frame, so neither their order nor copying an overlap twice matters.
struct FramePresentation {
  std::int32_t count;
  PresentBlock blocks[ChangedCapacity];
  PresentBlock bounds;
};

// The next draw of the generator: 0..32767.
std::int32_t RandomDraw(std::uint32_t& state);

// lo + (draw mod (hi - lo + 1)) on 16-bit bounds, cut to 16 bits. A span above
// 32768 values yields only lo..lo + 32767.
std::int16_t RandomInRange(std::uint32_t& state, std::int16_t lo, std::int16_t hi);

// 1 when the command line holds /p or /P (the letter's case folded) before any
// /s or /S within its first 255 characters, else 0.
std::int32_t ScanPreviewSwitchIn(const char* commandLine);

// Sets up the animation for a field of width x height and a window client area;
// in preview mode replaces the count, the field and the interval. Clamps the
// count to the slot capacity. Draws at scale 1, the shown picture the field's
// (or the client area's in preview); see SetDrawingScale. Does not place any
// slot.
void BeginAnimation(Animation& a, std::uint32_t seed, std::int32_t spriteCount, std::int32_t backdropMode,
                    std::int32_t previewFlag, std::int32_t width, std::int32_t height, std::int32_t clientWidth,
                    std::int32_t clientHeight);

// Draws everything scale times larger, on a display whose shown picture is
// shownWidth x shownHeight of its own pixels (at least scale times the logical
// one). Call after BeginAnimation, before the first frame.
void SetDrawingScale(Animation& a, std::int32_t scale, std::int32_t shownWidth, std::int32_t shownHeight);

// Start-up of slot i: delay, placement, kind, level 0. The thread sleeps 1 ms
// between slots.
void StartSlot(Animation& a, std::int32_t i);

// Chooses an edge and a starting cell beyond it, and the move toward the pit.
void PlaceSlot(Animation& a, std::int32_t i);

// Where a stored coordinate is drawn: its low 16 bits as an unsigned number, or
// 0 when that lies beyond limit (W + 32 or H + 32).
std::int32_t DrawPosition(std::int32_t coordinate, std::int32_t limit);

// Steps 1 and 2 of a frame in full: backdrop, pit, sprites (respawning finished
// slots and advancing fade levels on the way).
void ComposeFrame(Animation& a, const FrameSurfaces& s);

// Steps 1 and 2 composed incrementally: restores the backdrop only under the
// previous frame's cells, then draws. Needs a previous ComposeFrame or
// ComposeChangedFrame on the same surfaces.
void ComposeChangedFrame(Animation& a, const FrameSurfaces& s);

// The block of the WorkSurface that is presented.
PresentBlock FramePresentBlock(const Animation& a);

// What the last composition changed, as the window must receive it.
void PlanPresentation(const Animation& a, FramePresentation& p);

// The last step of a frame, after the presentation: counts down delays and
// moves the slots that are due.
void MoveSlots(Animation& a);

#endif
