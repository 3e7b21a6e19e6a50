// frame_output.h - the composed frame to the window.
//
// Where the visual's pixels are the effect's own (24-bit TrueColor at 32 bits
// per pixel, little-endian, as X servers on PCs have it), the WorkSurface
// itself is the image the server reads: with MIT-SHM it lies in the shared
// segment, and presenting a block is one XShmPutImage request with no copy at
// all. Otherwise (the 5-6-5 visual of a 16-bit screen, other channel orders)
// each presented block is first converted into a window-sized picture in the
// visual's layout, and that picture is the image. Without MIT-SHM (a remote
// display, or -no-shm) the same images go by XPutImage, which sends the
// pixels of each block through the connection.
//
// With MIT-SHM a frame is one request whatever its number of blocks: the
// blocks become the GC's clip rectangles and one XShmPutImage of their bounds
// copies them all (under Xvfb at 1920 x 1080 with 200 sprites this took about
// a fifth less time, in the program and in the server, than one put per
// block). Without it each block is an XPutImage of its own, so that only
// the blocks' pixels travel. After a frame with MIT-SHM the program waits for
// the server (XSync), so that the next composition never writes what the
// server has yet to read.
//
// On a depth-32 (ARGB) visual every presented pixel is made opaque: in the
// WorkSurface itself just before the put (the effect's blends keep or copy
// the spare byte and never read it into a colour), or in the conversion.
// Only the presented blocks are touched, so the cost follows the frame's.
#ifndef GYREWELL_X11_FRAME_OUTPUT_H
#define GYREWELL_X11_FRAME_OUTPUT_H

#include "x11/x11_saver.h"

// Makes the image for s.layout and s.depth; the WorkSurface's memory (zeroed)
// is s.scene.surfaces.work afterwards. False when memory runs out.
bool OpenFrameOutput(X11Saver& s);

// Puts the blocks of the presentation to the window, and the frame rate over
// them with -fps.
void PresentFrame(X11Saver& s, const FramePresentation& p);

void CloseFrameOutput(X11Saver& s);

#endif
