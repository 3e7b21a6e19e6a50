// desktop.cpp - see desktop.h.
#include "wayland/desktop.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "effect/settings_rules.h"
#include "wayland/field.h"
#include "wayland/frame_output.h"

namespace {

// A picture file larger than this on a side is refused rather than allocated.
constexpr std::uint32_t LargestPicture = 32768;

// wl_shm formats (DRM four-character codes, but 0 and 1) as pixel layouts.
struct ShmFormat {
  std::uint32_t format;
  PixelLayout layout;
};
constexpr std::uint32_t Code(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b) << 8 | static_cast<std::uint32_t>(c) << 16 |
         static_cast<std::uint32_t>(d) << 24;
}
const ShmFormat ShmFormats[] = {
    {WL_SHM_FORMAT_ARGB8888, {32, 0xFF0000, 0x00FF00, 0x0000FF, false}},
    {WL_SHM_FORMAT_XRGB8888, {32, 0xFF0000, 0x00FF00, 0x0000FF, false}},
    {Code('A', 'B', '2', '4'), {32, 0x0000FF, 0x00FF00, 0xFF0000, false}},
    {Code('X', 'B', '2', '4'), {32, 0x0000FF, 0x00FF00, 0xFF0000, false}},
    {Code('A', 'R', '3', '0'), {32, 0x3FF00000, 0x000FFC00, 0x000003FF, false}},
    {Code('X', 'R', '3', '0'), {32, 0x3FF00000, 0x000FFC00, 0x000003FF, false}},
    {Code('A', 'B', '3', '0'), {32, 0x000003FF, 0x000FFC00, 0x3FF00000, false}},
    {Code('X', 'B', '3', '0'), {32, 0x000003FF, 0x000FFC00, 0x3FF00000, false}},
    {Code('R', 'G', '2', '4'), {24, 0xFF0000, 0x00FF00, 0x0000FF, false}},
    {Code('B', 'G', '2', '4'), {24, 0x0000FF, 0x00FF00, 0xFF0000, false}},
    {Code('R', 'G', '1', '6'), {16, 0xF800, 0x07E0, 0x001F, false}},
};

bool LayoutOfFormat(std::uint32_t format, PixelLayout& layout) {
  for (const ShmFormat& f : ShmFormats)
    if (f.format == format) {
      layout = f.layout;
      return true;
    }
  return false;
}

// Where pixel (x, y) of a picture as the output shows it (width x height)
// lies in the output's own pixels, for each wl_output.transform (as sway
// turns its outputs: checked against grim's pictures of all eight).
void SourceOf(std::int32_t transform, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              std::int32_t& sx, std::int32_t& sy) {
  switch (transform) {
    case WL_OUTPUT_TRANSFORM_90: sx = y; sy = width - 1 - x; break;
    case WL_OUTPUT_TRANSFORM_180: sx = width - 1 - x; sy = height - 1 - y; break;
    case WL_OUTPUT_TRANSFORM_270: sx = height - 1 - y; sy = x; break;
    case WL_OUTPUT_TRANSFORM_FLIPPED: sx = width - 1 - x; sy = y; break;
    case WL_OUTPUT_TRANSFORM_FLIPPED_90: sx = y; sy = x; break;
    case WL_OUTPUT_TRANSFORM_FLIPPED_180: sx = x; sy = height - 1 - y; break;
    case WL_OUTPUT_TRANSFORM_FLIPPED_270: sx = height - 1 - y; sy = width - 1 - x; break;
    default: sx = x; sy = y; break;
  }
}

// The copy as the output shows it: turned into memory of its own where the
// output is rotated or flipped (null when that memory cannot be had).
DesktopPicture ShownCopy(Output& o, const PixelLayout& layout) {
  const std::int32_t bytes = layout.bitsPerPixel / 8;
  const bool invert = (o.captureFlags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
  const std::uint8_t* top = o.captureBuffer.pixels;
  std::int32_t stride = o.captureStride;
  if (invert) {
    top += static_cast<std::ptrdiff_t>(o.captureHeight - 1) * stride;
    stride = -stride;
  }
  if (o.transform == WL_OUTPUT_TRANSFORM_NORMAL)
    return DesktopPicture{top, o.captureWidth, o.captureHeight, stride, layout, 0, 0};
  const bool across = (o.transform & 1) != 0;  // a quarter turn: width and height trade places
  const std::int32_t width = across ? o.captureHeight : o.captureWidth;
  const std::int32_t height = across ? o.captureWidth : o.captureHeight;
  o.turnedPixels = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(width) * height * bytes));
  if (o.turnedPixels == nullptr) return DesktopPicture{};
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) {
      std::int32_t sx = 0, sy = 0;
      SourceOf(o.transform, x, y, width, height, sx, sy);
      std::memcpy(o.turnedPixels + (static_cast<std::ptrdiff_t>(y) * width + x) * bytes,
                  top + static_cast<std::ptrdiff_t>(sy) * stride + sx * bytes, static_cast<std::size_t>(bytes));
    }
  return DesktopPicture{o.turnedPixels, width, height, width * bytes, layout, 0, 0};
}

WaylandSaver* Saver;  // whose outputs' copies these are

void EndCapture(Output& o) {
  if (o.capture != nullptr) zwlr_screencopy_frame_v1_destroy(o.capture);
  o.capture = nullptr;
}

// The copy is made, or none can be: the field goes on either way.
void CaptureDone(Output& o, bool ready) {
  EndCapture(o);
  PixelLayout layout;
  if (ready && LayoutOfFormat(o.captureFormat, layout)) o.desktop = ShownCopy(o, layout);
  if (o.desktop.pixels != o.captureBuffer.pixels) DestroyShmBuffer(o.captureBuffer);
  ShowField(*Saver, o);
}

// The copy into a buffer as the compositor asked for it. Below version 3 the
// one buffer event is all there is; from 3, buffer_done closes the list.
void Copy(Output& o) {
  if (!o.captureOffered || o.captureWidth <= 0 || o.captureHeight <= 0 ||
      !CreateShmBuffer(*Saver, o.captureBuffer, o.captureWidth, o.captureHeight, o.captureStride, o.captureFormat)) {
    CaptureDone(o, false);
    return;
  }
  zwlr_screencopy_frame_v1_copy(o.capture, o.captureBuffer.buffer);
}

void OnBuffer(void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width, std::uint32_t height,
              std::uint32_t stride) {
  Output& o = *static_cast<Output*>(data);
  o.captureFormat = format;
  o.captureWidth = static_cast<std::int32_t>(width);
  o.captureHeight = static_cast<std::int32_t>(height);
  o.captureStride = static_cast<std::int32_t>(stride);
  o.captureOffered = true;
  if (Saver->screencopyVersion < 3) Copy(o);
}

void OnFlags(void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags) {
  static_cast<Output*>(data)->captureFlags = flags;
}
void OnReady(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {
  CaptureDone(*static_cast<Output*>(data), true);
}
void OnFailed(void* data, zwlr_screencopy_frame_v1*) { CaptureDone(*static_cast<Output*>(data), false); }
void OnDamage(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void OnDmabuf(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {}
void OnBufferDone(void* data, zwlr_screencopy_frame_v1*) { Copy(*static_cast<Output*>(data)); }

const zwlr_screencopy_frame_v1_listener CaptureListener = {OnBuffer, OnFlags,  OnReady,     OnFailed,
                                                           OnDamage, OnDmabuf, OnBufferDone};

}  // namespace

bool ReadDesktopFile(WaylandSaver& s, char* error, std::size_t size) {
  const char* path = s.options.desktopFile;
  if (path == nullptr) return true;
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path) == 0) {
    std::snprintf(error, size, "cannot read \"%s\" as a PNG picture: %s", path, image.message);
    return false;
  }
  if (image.width > LargestPicture || image.height > LargestPicture) {
    png_image_free(&image);
    std::snprintf(error, size, "\"%s\" is larger than %u pixels on a side", path, LargestPicture);
    return false;
  }
  image.format = PNG_FORMAT_BGR;  // the effect's own byte order; any transparency over black
  s.filePixels = static_cast<std::uint8_t*>(std::malloc(PNG_IMAGE_SIZE(image)));
  if (s.filePixels == nullptr) {
    png_image_free(&image);
    std::snprintf(error, size, "no memory for the picture \"%s\"", path);
    return false;
  }
  if (png_image_finish_read(&image, nullptr, s.filePixels, 0, nullptr) == 0) {
    std::snprintf(error, size, "cannot read \"%s\" as a PNG picture: %s", path, image.message);
    return false;
  }
  s.fileWidth = static_cast<std::int32_t>(image.width);
  s.fileHeight = static_cast<std::int32_t>(image.height);
  return true;
}

void TakeDesktop(WaylandSaver& s, Output& o) {
  Saver = &s;
  o.desktop = DesktopPicture{};
  if (s.options.backdropMode == BackdropBlack || (s.filePixels == nullptr && s.screencopy == nullptr)) {
    ShowField(s, o);
  } else if (s.filePixels != nullptr) {
    o.desktop = DesktopPicture{s.filePixels, s.fileWidth, s.fileHeight, s.fileWidth * 3,
                               PixelLayout{24, 0xFF0000, 0x00FF00, 0x0000FF, false}, 0, 0};
    ShowField(s, o);
  } else {
    o.state = FieldCapturing;
    o.capture = zwlr_screencopy_manager_v1_capture_output(s.screencopy, 0, o.output);
    zwlr_screencopy_frame_v1_add_listener(o.capture, &CaptureListener, &o);
  }
}

void ReleaseDesktop(Output& o) {
  EndCapture(o);
  DestroyShmBuffer(o.captureBuffer);
  std::free(o.turnedPixels);
  o.turnedPixels = nullptr;
  o.desktop = DesktopPicture{};
}
