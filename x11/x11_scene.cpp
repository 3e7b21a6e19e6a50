// x11_scene.cpp - see x11_scene.h.
#include "x11/x11_scene.h"

#include "unix/saver_scene.h"
#include "unix/scale.h"
#include "x11/desktop.h"
#include "x11/frame_output.h"

bool BuildScene(X11Saver& s) {
  const std::int32_t scale = ChooseScale(s.options.scale, s.xftDpi, s.width, s.height);
  s.layout = LayOutField(s.width, s.height, scale);
  if (!AllocateSceneSurfaces(s.scene, s.memory, s.layout, s.depth)) return false;
  s.sceneBuilt = true;  // from here on TearDownScene releases what exists
  if (!OpenFrameOutput(s) ||
      !StartSaverScene(s.scene, s.layout, s.options, SaverSeed(s.options), TakenDesktop(s))) {
    TearDownScene(s);
    return false;
  }
  return true;
}

void TearDownScene(X11Saver& s) {
  if (!s.sceneBuilt) return;
  CloseFrameOutput(s);
  FreeSceneSurfaces(s.scene, s.memory);
  s.sceneBuilt = false;
}
