// x11_scene.h - the scene over the window: the window plays the screen.
//
// Built once the window's size is known and again whenever it changes: the
// scale for that size (scale.h), the surfaces at the composition depth, the
// sprite sheet built into the program, the desktop under the window, and
// every slot started.
#ifndef GYREWELL_X11_SCENE_H
#define GYREWELL_X11_SCENE_H

#include "x11/x11_saver.h"

// False when memory runs out (nothing is left allocated then).
bool BuildScene(X11Saver& s);

void TearDownScene(X11Saver& s);

#endif
