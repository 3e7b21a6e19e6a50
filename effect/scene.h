// scene.h - the effect's picture from start to frame, for every front end.
//
// The saver (effect_window.cpp and animation_thread.cpp), the in-memory renderer
// in tools/, the golden-frame and equivalence tests and the benchmarks all set
// up and step the picture through these functions, so what they check is what
// the saver runs. A front end keeps only what is its own: it allocates surfaces
// of the sizes it is given, puts the desktop into the snapshot, runs the clock
// and copies blocks of the WorkSurface to its window.
//
//   SceneLayout layout = LayOutScene(screenWidth, screenHeight, scale);
//   // allocate layout.snapshot, layout.work, layout.sheet (and, when scale is
//   // above 1, layout.enlarged) at the display depth, rows top-down and back
//   // to back, into scene.surfaces
//   ImportSheet(depth, scene.surfaces.sheet, sheetBytes, sheetSize, decodeBuffer);
//   // copy the desktop, layout.desktop in size, to (0, 0) of the snapshot
//   BeginScene(scene, layout, settings, clientWidth, clientHeight, seed);
//   StartSceneSlots(scene, pause, context);   // the saver sleeps 1 ms per slot
//   for (;;) {
//     ComposeScene(scene);                 // the whole frame, or what changed
//     // wait out scene.animation.frameInterval milliseconds
//     const FramePresentation& p = PresentScene(scene);
//     // copy p's blocks of the WorkSurface to the window
//     MoveScene(scene);
//   }
//
// SceneWindowPainted(scene) says that something else drew over the window (the
// paint handler): the next frame is then composed and presented in full, as the
// first one is.
//
// The sizes: W (fieldWidth) is the screen's width and H (fieldHeight) its height
// plus one, so every full-picture copy of H - 1 rows is exactly the screen.
//
//   snapshot  W x H            the desktop, in rows 0..H-2
//   work      (W+64) x (H+64)  the frame, with the visible picture at (32, 32)
//   sheet     1920 x 1081      the sprite sheet at (0, 0), scratch cells below
//
// Display scaling. On a display of 200 % or more the scene is drawn at a whole
// scale s (2 from 192 DPI, 3 from 288, ...; 150 % stays 1, since a fractional
// scale would blur). The animation then runs exactly as on a screen s times
// smaller (the logical screen: W and H are its size, and every move, count and
// random draw is the same), and only the drawing is s times larger: the
// desktop stays at the display's full resolution, the sprites and the pit are
// drawn as s x s squares of the sheet's pixels (from `enlarged`, the sheet's
// art enlarged once at the start). The snapshot holds the whole physical
// screen, the WorkSurface is s times the logical one (the margin s times as
// wide), and the columns and rows beyond the last whole logical pixel show the
// backdrop. The preview is scaled the same way from its client size.
//
// Every width is rounded up to a multiple of four pixels. A Windows DIB section
// pads each row to four bytes while the pixel routines see rows back to back;
// at 16 and 24 bits other widths would shear every picture. The extra columns
// lie right of everything the effect draws or shows.
#ifndef GYREWELL_SCENE_H
#define GYREWELL_SCENE_H

#include <cstddef>
#include <cstdint>

#include "effect/animation.h"
#include "effect/settings_rules.h"

struct SurfaceSize {
  std::int32_t width;
  std::int32_t height;
};

struct SceneLayout {
  std::int32_t left, top;    // where the field's picture lies in the window (0, 0 but on several monitors)
  std::int32_t scale;        // display pixels per logical pixel, 1 or more
  std::int32_t fieldWidth;   // W, logical
  std::int32_t fieldHeight;  // H, logical
  SurfaceSize desktop;       // what is copied from the screen: the screen itself
  SurfaceSize snapshot;
  SurfaceSize work;
  SurfaceSize sheet;
  SurfaceSize enlarged;      // 0 x 0 at scale 1
};

// The two settings and the preview indicator, as the animation takes them.
struct SceneSettings {
  std::int32_t spriteCount;   // 20..200
  std::int32_t backdropMode;  // BackdropDesktop or BackdropBlack
  std::int32_t previewFlag;   // PreviewOn in the Display control panel's preview
};

struct Scene {
  FrameSurfaces surfaces;  // set by the front end before BeginScene
  bool presentAll;         // the window does not show the previous frame
  Animation animation;
  FramePresentation presentation;  // what PresentScene last handed out
};

// The field and every surface's size for a primary display of that size in
// its own pixels, drawn at scale (below 1 counts as 1), at the window's
// top-left corner.
SceneLayout LayOutScene(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t scale);

// The same for the Display control panel's preview, whose client area is
// clientWidth x clientHeight display pixels. The preview's field is its client
// area plus 64 on each axis, not the screen, so the snapshot and the
// WorkSurface grow where that field needs more than the screen's: a preview as
// large as the screen or larger (programs that show a saver on the desktop
// hand it the desktop's window) must not draw beyond them. The snapshot beyond
// the desktop stays black. A small preview gets the saver's layout.
SceneLayout LayOutPreviewScene(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t scale,
                               std::int32_t clientWidth, std::int32_t clientHeight);

// The drawing scale for a display of dpi dots per inch: the largest whole
// number not above dpi / 96, at least 1.
std::int32_t ScaleForDpi(std::int32_t dpi);

// The sprite sheet into the sheet surface at (0, 0), converted to depth. The
// bytes are a BMP file image, or one packed (packed_image.h), which is first
// unpacked into decodeBuffer (DecodeBufferSize bytes). The unpacker is tried
// first: the shipped sheet is plain, and the unpacker refuses it at its magic.
// Returns the import's result: 0, or -1 when the image is refused (the sheet
// stays black and the animation still runs).
std::int32_t ImportSheet(std::int32_t depth, const PixelSurface& sheet, const std::uint8_t* bytes, std::size_t size,
                         std::uint8_t* decodeBuffer);

// Sets up the animation over scene.surfaces for the field of layout and a
// window client area of clientWidth x clientHeight display pixels (in preview
// the field, the count and the pace become the preview's; a client area larger
// than the layout's WorkSurface holds, from a window that grew after the
// layout was made, is cut to what it holds). Above scale 1 it enlarges the
// sheet's art into the enlarged surface, so the sheet must be imported first.
// Places no slot yet.
void BeginScene(Scene& scene, const SceneLayout& layout, const SceneSettings& settings, std::int32_t clientWidth,
                std::int32_t clientHeight, std::uint32_t seed);

// Starts every slot in order, calling pause(context) after each one; stops and
// answers false as soon as pause answers false. pause may be null.
typedef bool (*SlotPause)(void* context);
bool StartSceneSlots(Scene& scene, SlotPause pause, void* context);

// Composes the next frame in the WorkSurface: in full after BeginScene and
// after SceneWindowPainted, otherwise only where it changed.
void ComposeScene(Scene& scene);

// The blocks of the composed frame that the window must receive, in window
// coordinates (animation.h, FramePresentation): the whole picture after a full
// composition, else the blocks that changed. The front end copies them from the
// WorkSurface, as separate copies or one clipped copy of their bounds; from here
// on the window counts as showing this frame.
const FramePresentation& PresentScene(Scene& scene);

// Moves the sprites that are due, after the frame has been presented.
void MoveScene(Scene& scene);

// The window was drawn over: the next frame goes the full way.
void SceneWindowPainted(Scene& scene);

#endif
