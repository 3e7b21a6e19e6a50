// saver_scene.h - building a field's scene over memory, as both programs do.
//
// A front end lays out the field for its window or output (LayOutField),
// allocates the surfaces (AllocateSceneSurfaces), puts a WorkSurface of its
// own into scene.surfaces.work (the X11 program's may lie in a MIT-SHM
// segment), and starts the scene (StartSaverScene): the sprite sheet built
// into the program, the desktop picture, every slot placed. From then on it
// steps the scene as effect/scene.h says. All surfaces are at the
// composition depth, rows top-down and back to back.
#ifndef GYREWELL_UNIX_SAVER_SCENE_H
#define GYREWELL_UNIX_SAVER_SCENE_H

#include <cstdint>

#include "effect/scene.h"
#include "unix/desktop_picture.h"
#include "unix/options.h"

// The memory behind the surfaces AllocateSceneSurfaces makes.
struct SceneMemory {
  std::uint8_t* snapshot;
  std::uint8_t* sheet;
  std::uint8_t* enlarged;  // above scale 1
};

// The layout for a window of width x height at scale. The animation places
// sprites beyond the field's edges and needs a field of at least 32 x 32
// (scene pixels) for that; a smaller window shows the corner of one.
SceneLayout LayOutField(std::int32_t width, std::int32_t height, std::int32_t scale);

// The snapshot, the sheet and the enlarged sheet for the layout at depth,
// zeroed, into scene.surfaces (with the depth) and memory. False when memory
// runs out; nothing is left allocated then.
bool AllocateSceneSurfaces(Scene& scene, SceneMemory& memory, const SceneLayout& layout, std::int32_t depth);

// Once the WorkSurface is in place: the sheet imported, the desktop laid
// (with the black backdrop it is not used), the scene begun with the
// options' count and backdrop over the whole window, every slot started.
// False when memory for the sheet's import runs out.
bool StartSaverScene(Scene& scene, const SceneLayout& layout, const SaverOptions& options, std::uint32_t seed,
                     const DesktopPicture& desktop);

// -seed, or else the clock in milliseconds.
std::uint32_t SaverSeed(const SaverOptions& options);

// Frees what AllocateSceneSurfaces made (the WorkSurface is the front end's).
void FreeSceneSurfaces(Scene& scene, SceneMemory& memory);

#endif
