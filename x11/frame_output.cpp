// frame_output.cpp - see frame_output.h.
#include "x11/frame_output.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "x11/x11_window.h"

namespace {

// An image of width x height in the visual's format over shared memory;
// false (and nothing kept) when the server cannot attach it.
bool OpenSharedImage(X11Saver& s, std::int32_t width, std::int32_t height, std::int32_t stride) {
  if (s.options.noShm || !XShmQueryExtension(s.display)) return false;
  XImage* image = XShmCreateImage(s.display, s.visual, static_cast<unsigned>(s.visualDepth), ZPixmap, nullptr,
                                  &s.segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image == nullptr) return false;
  if (image->bytes_per_line != stride) {  // the effect's rows lie back to back
    XDestroyImage(image);
    return false;
  }
  s.segment.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(stride) * height, IPC_CREAT | 0600);
  if (s.segment.shmid < 0) {
    XDestroyImage(image);
    return false;
  }
  void* memory = shmat(s.segment.shmid, nullptr, 0);
  if (memory == reinterpret_cast<void*>(-1)) {
    shmctl(s.segment.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    return false;
  }
  s.segment.shmaddr = image->data = static_cast<char*>(memory);
  s.segment.readOnly = False;
  const std::uint32_t before = ErrorsSoFar();
  XShmAttach(s.display, &s.segment);
  XSync(s.display, False);
  // Once both sides are attached the segment can be marked for removal: it
  // then goes away with the last user, however the program ends.
  shmctl(s.segment.shmid, IPC_RMID, nullptr);
  if (ErrorsSoFar() != before) {
    shmdt(memory);
    image->data = nullptr;
    XDestroyImage(image);
    return false;
  }
  s.image = image;
  s.shm = true;
  return true;
}

bool OpenPlainImage(X11Saver& s, std::int32_t width, std::int32_t height, std::int32_t stride,
                    std::uint8_t*& memory) {
  memory = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(stride) * height, 1));
  if (memory == nullptr) return false;
  s.image = XCreateImage(s.display, s.visual, static_cast<unsigned>(s.visualDepth), ZPixmap, 0,
                         reinterpret_cast<char*>(memory), static_cast<unsigned>(width),
                         static_cast<unsigned>(height), 32, stride);
  return s.image != nullptr;
}

// A block of the window from the image: from the WorkSurface at the block's
// source, or from the converted picture at the block's own place.
void Put(X11Saver& s, const PresentBlock& b) {
  const std::int32_t x = s.direct ? b.sourceX : b.windowX, y = s.direct ? b.sourceY : b.windowY;
  const unsigned width = static_cast<unsigned>(b.width), height = static_cast<unsigned>(b.height);
  if (s.shm) XShmPutImage(s.display, s.window, s.gc, s.image, x, y, b.windowX, b.windowY, width, height, False);
  else XPutImage(s.display, s.window, s.gc, s.image, x, y, b.windowX, b.windowY, width, height);
}

// Cuts a block to the picture, its source with it; false when nothing is
// left. The scene's blocks lie in the picture; the cut keeps any other from
// reading or converting beyond it.
bool CutToPicture(const X11Saver& s, PresentBlock& b) {
  const SurfaceSize picture = s.layout.desktop;
  const std::int32_t left = std::max(b.windowX, 0), top = std::max(b.windowY, 0);
  const std::int32_t right = std::min(b.windowX + b.width, picture.width);
  const std::int32_t bottom = std::min(b.windowY + b.height, picture.height);
  if (right <= left || bottom <= top) return false;
  b.sourceX += left - b.windowX;
  b.sourceY += top - b.windowY;
  b = PresentBlock{b.sourceX, b.sourceY, right - left, bottom - top, left, top};
  return true;
}

// The frame rate in the lower left corner (frame_clock.h makes the figure),
// drawn over every frame, since the blocks may cover it.
void DrawFps(X11Saver& s) {
  if (s.fpsFont == nullptr) {
    s.fpsFont = XLoadQueryFont(s.display, "fixed");
    if (s.fpsFont == nullptr) {  // a server without fonts: no figure, and no asking again
      s.options.showFps = false;
      return;
    }
    XSetFont(s.display, s.gc, s.fpsFont->fid);
  }
  const char* text = s.clock.fpsText;
  if (text[0] == '\0') return;
  const int length = static_cast<int>(std::strlen(text));
  XDrawImageString(s.display, s.window, s.gc, 8, s.height - 8 - s.fpsFont->descent, text, length);
}

}  // namespace

bool OpenFrameOutput(X11Saver& s) {
  const SurfaceSize work = s.layout.work, picture = s.layout.desktop;
  const std::int32_t workStride = work.width * (s.depth / 8);
  s.direct = MatchesComposition(s.pixels, s.depth);
  std::uint8_t* workBits = nullptr;
  if (s.direct) {
    if (!OpenSharedImage(s, work.width, work.height, workStride) &&
        !OpenPlainImage(s, work.width, work.height, workStride, s.workMemory))
      return false;
    workBits = reinterpret_cast<std::uint8_t*>(s.image->data);
  } else {
    const std::int32_t pictureStride = (picture.width * s.pixels.bitsPerPixel / 8 + 3) / 4 * 4;
    if (!OpenSharedImage(s, picture.width, picture.height, pictureStride) &&
        !OpenPlainImage(s, picture.width, picture.height, pictureStride, s.pictureMemory))
      return false;
    s.workMemory = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(workStride) * work.height, 1));
    if (s.workMemory == nullptr) return false;
    workBits = s.workMemory;
  }
  s.scene.surfaces.work = PixelSurface{workBits, work.width, work.height};
  return true;
}

void PresentFrame(X11Saver& s, const FramePresentation& p) {
  const PixelSurface& work = s.scene.surfaces.work;
  std::int32_t clipped = 0;
  for (std::int32_t i = 0; i < p.count; ++i) {
    PresentBlock b = p.blocks[i];
    if (!CutToPicture(s, b)) continue;
    if (s.direct) {
      // The WorkSurface is the image: its spare bytes become the visual's alpha.
      SetOpaqueBits(s.pixels, PixelAddress(work, s.depth, b.sourceX, b.sourceY), work.width * (s.depth / 8),
                    b.width, b.height);
    } else {
      std::uint8_t* target = reinterpret_cast<std::uint8_t*>(s.image->data) +
                             static_cast<std::ptrdiff_t>(b.windowY) * s.image->bytes_per_line +
                             b.windowX * (s.pixels.bitsPerPixel / 8);
      ConvertToServer(s.pixels, target, s.image->bytes_per_line, PixelAddress(work, s.depth, b.sourceX, b.sourceY),
                      work.width * (s.depth / 8), s.depth, b.width, b.height);
    }
    if (s.shm) {
      s.clip[clipped++] = XRectangle{static_cast<short>(b.windowX), static_cast<short>(b.windowY),
                                     static_cast<unsigned short>(b.width), static_cast<unsigned short>(b.height)};
    } else {
      Put(s, b);
    }
  }
  PresentBlock bounds = p.bounds;
  if (clipped > 0 && CutToPicture(s, bounds)) {
    XSetClipRectangles(s.display, s.gc, 0, 0, s.clip, clipped, Unsorted);
    Put(s, bounds);
    XSetClipMask(s.display, s.gc, None);
  }
  if (s.options.showFps) DrawFps(s);
  if (s.shm) XSync(s.display, False);
  else XFlush(s.display);
}

void CloseFrameOutput(X11Saver& s) {
  if (s.image != nullptr) {
    if (s.shm) {
      XShmDetach(s.display, &s.segment);
      XSync(s.display, False);
      shmdt(s.segment.shmaddr);
    }
    s.image->data = nullptr;  // the memory is ours, not Xlib's
    XDestroyImage(s.image);
  }
  s.image = nullptr;
  s.shm = false;
  std::free(s.workMemory);
  std::free(s.pictureMemory);
  s.workMemory = nullptr;
  s.pictureMemory = nullptr;
  s.scene.surfaces.work = PixelSurface{nullptr, 0, 0};
  if (s.fpsFont != nullptr) XFreeFont(s.display, s.fpsFont);
  s.fpsFont = nullptr;
}
