// web_scene.h - the scene as a WebAssembly module: the functions the page calls.
//
// The page (gyrewell.js) is the front end: it sizes a canvas, hands in the
// desktop picture, runs the clock and puts the changed blocks into the canvas.
// Everything else is the scene's (effect/scene.h), over surfaces in the
// module's memory at 32 bits, plus the picture: the canvas's contents in the
// canvas's own format (R, G, B, A bytes, A always 255), which every presented
// block is converted into. The picture is always the whole of the last frame
// presented, so any part of it may be put into the canvas again.
//
//   if (gyrewell_start(width, height, scale, count, backdrop, seed) != 0) ...
//   w = gyrewell_width(); h = gyrewell_height();  // the picture: the canvas's size
//   rgba = gyrewell_picture();                    // w * h * 4 bytes
//   // write the desktop there (R, G, B, A; A is not read), then
//   gyrewell_lay_desktop();                       // it becomes the snapshot
//   for (;;) {
//     gyrewell_compose();
//     n = gyrewell_present();       // the changed blocks, converted into the picture
//     // gyrewell_blocks(): n times {x, y, width, height}; gyrewell_bounds():
//     // the same four for their bounds; put them from the picture into the canvas
//     gyrewell_move();
//   }
//
// gyrewell_start lays the scene out for a canvas of width x height pixels
// drawn scale times larger (1 to 8, from the device's pixel ratio), with the
// settings' own rules for the count (20 to 200, else 100) and the backdrop (1
// desktop, 2 black, else 1), and starts every slot; it may be called again
// at any time (a resize, new settings) and releases the last scene first. A
// canvas smaller than the animation's least field (32 x 32 scene pixels) gets
// a picture of that least size, whose corner the page shows. The desktop
// starts black; gyrewell_lay_desktop may be called again whenever the page
// has a new picture, and the next frame then goes whole. Before any start,
// or after a start that failed, the frame functions do nothing and present
// no block.
//
// gyrewell_route and gyrewell_route_cost are the Win32 shell's choice of
// presentation (effect/present_route.h) for the page: route 0 is one put of
// the blocks' bounds, 1 one put per block, and the cost is what the put took,
// in microseconds.
//
// The module grows its memory while it starts a scene, which detaches the
// page's views of it: the page takes them anew after every start.
#ifndef GYREWELL_WEB_SCENE_H
#define GYREWELL_WEB_SCENE_H

#include <cstdint>

#define GYREWELL_EXPORT(name) extern "C" __attribute__((export_name(#name)))

// The largest canvas side the module takes, in pixels (a browser's canvas
// cannot be much larger either).
constexpr std::int32_t LargestSide = 16384;

// gyrewell_start's results.
constexpr std::int32_t StartDone = 0;
constexpr std::int32_t StartTooLarge = 1;  // a side above LargestSide, or below 1
constexpr std::int32_t StartNoMemory = 2;  // the surfaces cannot be had; nothing is kept

GYREWELL_EXPORT(gyrewell_start)
std::int32_t gyrewell_start(std::int32_t width, std::int32_t height, std::int32_t scale, std::int32_t count,
                            std::int32_t backdrop, std::uint32_t seed);
GYREWELL_EXPORT(gyrewell_width) std::int32_t gyrewell_width();
GYREWELL_EXPORT(gyrewell_height) std::int32_t gyrewell_height();
GYREWELL_EXPORT(gyrewell_scale) std::int32_t gyrewell_scale();
GYREWELL_EXPORT(gyrewell_picture) std::uint8_t* gyrewell_picture();
GYREWELL_EXPORT(gyrewell_lay_desktop) void gyrewell_lay_desktop();
GYREWELL_EXPORT(gyrewell_compose) void gyrewell_compose();
GYREWELL_EXPORT(gyrewell_present) std::int32_t gyrewell_present();
GYREWELL_EXPORT(gyrewell_blocks) const std::int32_t* gyrewell_blocks();
GYREWELL_EXPORT(gyrewell_bounds) const std::int32_t* gyrewell_bounds();
GYREWELL_EXPORT(gyrewell_move) void gyrewell_move();
GYREWELL_EXPORT(gyrewell_route) std::int32_t gyrewell_route();
GYREWELL_EXPORT(gyrewell_route_cost) void gyrewell_route_cost(std::int32_t route, std::int32_t microseconds);
// "wasm128" or "scalar": the blend's rows in this module.
GYREWELL_EXPORT(gyrewell_blend_kernel) const char* gyrewell_blend_kernel();

#endif
