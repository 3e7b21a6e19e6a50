// wayland_saver.h - the Wayland front end's one state record.
//
// The program is one thread: main.cpp parses the options and runs the event
// loop; the other files each own a part of this record:
//   registry      the connection, the compositor's globals, the outputs as
//                 they come and go
//   input         the seats: keys, buttons, touches and pointer travel end
//                 the saver; the pointer is hidden over its surfaces
//   desktop       the picture behind the sprites, per output: the
//                 compositor's screen copy, or the -desktop file
//   field         an output's surface (layer shell, or a full-screen
//                 toplevel) and the scene over it
//   frame_output  the frames into shared-memory buffers, damage, the pace
// The scene itself (effect/scene.h) is the same code the Windows saver runs;
// unix/ holds what this program shares with the X11 one.
#ifndef GYREWELL_WAYLAND_SAVER_H
#define GYREWELL_WAYLAND_SAVER_H

#include <signal.h>
#include <wayland-client.h>

#include <cstdint>

#include "effect/scene.h"
#include "unix/frame_clock.h"
#include "unix/saver_scene.h"
#include "viewporter-client-protocol.h"
#include "wayland/options.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

// Outputs and seats beyond these are left alone (and said so once).
constexpr std::int32_t MaxOutputs = 16;
constexpr std::int32_t MaxSeats = 4;
// Buffers per output: two in turn, a third while the compositor holds both.
constexpr std::int32_t MaxBuffers = 3;

// A wl_shm buffer in memory of its own.
struct ShmBuffer {
  wl_buffer* buffer;
  std::uint8_t* pixels;  // mapped; width x height XRGB8888 pixels, rows back to back
  std::size_t size;
  bool busy;             // attached, not yet released by the compositor
  std::uint32_t frame;   // the frame it holds, counted from 1; 0: none yet
};

// Where an output's field stands.
enum FieldState {
  FieldWaiting,      // the output is not described yet (its first done)
  FieldCapturing,    // its desktop is being copied
  FieldConfiguring,  // its surface waits for the compositor's size
  FieldRunning,      // the scene draws
  FieldClosed,       // the compositor closed the surface: nothing more on this output
};

struct Output {
  bool used;                   // this entry holds an output
  std::uint32_t name;          // the global's name in the registry
  wl_output* output;
  std::uint32_t version;
  std::int32_t index;          // its place in the order outputs appeared: the seed is FieldSeed(-seed, this)
  // What the output says of itself (registry).
  std::int32_t scale;          // wl_output.scale, at least 1
  std::int32_t modeWidth, modeHeight;  // its current mode, in its own orientation
  std::int32_t transform;      // wl_output.transform
  bool described;              // its first done has come
  FieldState state;

  // Its desktop (desktop): the screen copy in flight, then the picture.
  zwlr_screencopy_frame_v1* capture;
  ShmBuffer captureBuffer;
  std::int32_t captureWidth, captureHeight, captureStride;
  std::uint32_t captureFormat, captureFlags;
  bool captureOffered;         // the compositor named a wl_shm buffer for it
  std::uint8_t* turnedPixels;  // the copy turned as the output shows it, where it is rotated or flipped
  DesktopPicture desktop;      // in captureBuffer, turnedPixels or the -desktop file's; none: black

  // Its surface and scene (field).
  wl_surface* surface;
  zwlr_layer_surface_v1* layerSurface;
  xdg_surface* xdgSurface;
  xdg_toplevel* toplevel;
  wp_viewport* viewport;       // where the output's scale is a fraction: its pixels onto the surface
  std::int32_t width, height;  // the surface's size in its own (logical) coordinates
  std::int32_t pendingWidth, pendingHeight;  // a toplevel's size until its configure is acknowledged
  std::int32_t bufferScale;    // buffer pixels per surface unit (with a viewport: the next whole number)
  std::int32_t pixelWidth, pixelHeight;  // the buffers' size: the field's
  bool resized;                // a new size or scale: the scene is built anew
  bool sceneBuilt;
  SceneLayout layout;
  Scene scene;
  SceneMemory memory;
  std::uint8_t* workMemory;

  // Its frames (frame_output).
  FrameClock clock;
  bool held;                   // -frames reached: no more drawing
  wl_callback* frameCallback;  // the compositor has yet to say it is ready for the next frame
  std::uint32_t frame;         // frames presented
  ShmBuffer buffers[MaxBuffers];
  // The blocks of the last MaxBuffers frames, by frame number modulo
  // MaxBuffers: what a buffer that held an older frame lacks.
  std::int32_t recentCount[MaxBuffers];
  PresentBlock recent[MaxBuffers][ChangedCapacity];
};

struct Seat {
  std::uint32_t name;          // 0: unused entry
  wl_seat* seat;
  wl_keyboard* keyboard;
  wl_pointer* pointer;
  wl_touch* touch;
  // Pointer travel is measured from where the pointer entered a surface.
  wl_surface* anchorSurface;
  wl_fixed_t anchorX, anchorY;
};

struct WaylandSaver {
  WaylandOptions options;
  sigset_t waitMask;           // the signal mask while waiting: the stop signals let through

  // The compositor and its globals (registry).
  wl_display* display;
  wl_registry* registry;
  wl_compositor* compositor;
  std::uint32_t compositorVersion;
  wl_shm* shm;
  zwlr_layer_shell_v1* layerShell;
  std::uint32_t layerShellVersion;
  xdg_wm_base* wmBase;
  zwlr_screencopy_manager_v1* screencopy;
  std::uint32_t screencopyVersion;
  wp_viewporter* viewporter;
  Output outputs[MaxOutputs];
  std::int32_t outputsSeen;    // outputs that have appeared so far, the next one's index
  bool tooManyOutputs;
  Seat seats[MaxSeats];

  // The -desktop file's picture (desktop), B,G,R,A bytes.
  std::uint8_t* filePixels;
  std::int32_t fileWidth, fileHeight;

  bool ended;                  // input, or a toplevel closed: end with status 0
  bool saidShown;              // the -frames line is out
};

#endif
