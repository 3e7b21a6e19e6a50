// x11_saver.h - the X11 front end's one state record.
//
// The program is one thread: main.cpp parses the options and runs the frame
// loop; the other files each own a part of this record:
//   x11_window    the window drawn on (chosen, created or handed over), its
//                 visual, its events and the X error handler
//   desktop       the picture behind the sprites: the screen-saver daemon's
//                 image helper, or the root window read before drawing
//   x11_scene     the scene over the window (built as unix/saver_scene.h says)
//   frame_output  the composed blocks to the window: MIT-SHM or plain images
// The scene itself (effect/scene.h) is the same code the Windows saver runs.
#ifndef GYREWELL_X11_SAVER_H
#define GYREWELL_X11_SAVER_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <csignal>
#include <cstdint>

#include "effect/scene.h"
#include "unix/frame_clock.h"
#include "unix/pixel_layout.h"
#include "unix/saver_scene.h"
#include "x11/options.h"

struct X11Saver {
  X11Options options;
  sigset_t waitMask;            // the signal mask while waiting: SIGTERM, SIGINT, SIGHUP let through

  // The window (x11_window).
  Display* display;
  Window window;
  bool ownWindow;               // created here, destroyed at the end
  bool realRoot;                // the root window itself: cleared at the end
  bool daemonWindow;            // handed over by the screen-saver daemon
  Visual* visual;
  Colormap colormap;            // made for a window of its own on a visual not the default, else 0
  std::int32_t visualDepth;     // the window's depth (15, 16, 24, 32)
  PixelLayout pixels;           // its pixels in memory
  std::int32_t depth;           // what the effect composes at: 16, 24 or 32
  std::int32_t width, height;   // the window's size
  std::int32_t xftDpi;          // the desktop's Xft.dpi resource, 0 when it sets none
  GC gc;
  Atom deleteWindow;            // WM_DELETE_WINDOW, for a window of its own
  // Set by the events and the error handler, taken by the frame loop.
  bool exposed;                 // something drew over the window
  bool resized;                 // width and height changed
  bool closed;                  // the window is gone or asked to close

  // The desktop picture (desktop): null for the black backdrop or when none
  // could be had. Its top-left corner lies at (desktopX, desktopY) of the
  // window as it was when the picture was taken.
  XImage* desktop;
  PixelLayout desktopPixels;
  std::int32_t desktopX, desktopY;

  // The scene (x11_scene).
  SceneLayout layout;
  Scene scene;
  SceneMemory memory;           // the snapshot, the sheet and, above scale 1, its art enlarged
  bool sceneBuilt;

  // The presentation (frame_output). The WorkSurface's memory is its: it lies
  // in the shared segment when the server takes the composed bytes as they are.
  bool shm;                     // MIT-SHM in use
  bool direct;                  // the image is the WorkSurface itself
  XShmSegmentInfo segment;
  XImage* image;                // the WorkSurface, or a window-sized converted picture
  std::uint8_t* workMemory;     // when not in the segment
  std::uint8_t* pictureMemory;  // the converted picture when not in the segment
  XRectangle clip[ChangedCapacity];  // a frame's blocks, as the clip of one MIT-SHM put
  XFontStruct* fpsFont;         // -fps

  // The pace, the -frames count and the -fps figure (main.cpp).
  FrameClock clock;
};

#endif
