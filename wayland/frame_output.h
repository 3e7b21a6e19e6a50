// frame_output.h - the frames of an output into shared-memory buffers.
//
// The scene composes into a WorkSurface of its own (it has a margin around
// the picture). Each frame goes into a wl_shm buffer of the output's size
// in XRGB8888, which in memory is the effect's own B, G, R, X: the blocks
// are copied as they are. A buffer is written only once the compositor has
// released it; two take turns, a third is made while the compositor holds
// both. The compositor may read a whole buffer whenever it repaints, so a
// buffer must hold the whole frame: a buffer that last held frame n - a
// gets the blocks of frames n - a + 1 .. n (the blocks of the last
// MaxBuffers frames are kept), a new or older one the whole picture. Only
// the newest frame's blocks are damaged.
//
// Frames are paced by the output's frame callbacks (the compositor says
// when it is ready for the next one) and by -delay since the last one
// (unix/frame_clock.h), so an output faster than the saver's pace still
// shows the saver's pace. The -fps figure is drawn into the buffer's lower
// left corner with a small built-in font.
#ifndef GYREWELL_WAYLAND_FRAME_OUTPUT_H
#define GYREWELL_WAYLAND_FRAME_OUTPUT_H

#include <cstdint>

#include "wayland/wayland_saver.h"

// A buffer of width x height pixels, rows stride bytes apart, in a wl_shm
// format, in memory of its own (memfd); false when none can be had.
bool CreateShmBuffer(WaylandSaver& s, ShmBuffer& b, std::int32_t width, std::int32_t height, std::int32_t stride,
                     std::uint32_t format);

void DestroyShmBuffer(ShmBuffer& b);

// Every buffer of the output, and its frame callback.
void DestroyFrameBuffers(Output& o);

// The scene runs, the compositor is ready for a frame and -frames has not
// been reached.
bool ReadyForFrame(const Output& o);

// The composed frame to the output (PresentScene, the blocks into a free
// buffer, damage, commit), then MoveScene and, unless that was the last frame
// -frames allows, the next frame composed. False when no buffer can be had.
bool PresentOutputFrame(WaylandSaver& s, Output& o);

#endif
