// frame_output.cpp - see frame_output.h.
#include "wayland/frame_output.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "effect/render/rect_copy.h"
#include "unix/waiting.h"

namespace {

constexpr std::int32_t Depth = 32;  // XRGB8888

// The -fps figure's font: 5 x 7 pixel glyphs, each row's pixels in the low
// five bits, the leftmost in bit 4.
constexpr char FontCharacters[] = "0123456789.fps ";
constexpr std::uint8_t FontRows[][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}, {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08},
    {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}, {0x00, 0x00, 0x0F, 0x10, 0x0E, 0x01, 0x1E},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
};
constexpr std::int32_t CellWidth = 6, CellHeight = 9;  // a glyph with a pixel of space right and a row above and below

void OnRelease(void* data, wl_buffer*) { static_cast<ShmBuffer*>(data)->busy = false; }
const wl_buffer_listener BufferListener = {OnRelease};

void OnFrameDone(void* data, wl_callback* callback, std::uint32_t) {
  Output& o = *static_cast<Output*>(data);
  wl_callback_destroy(callback);
  o.frameCallback = nullptr;
}
const wl_callback_listener FrameListener = {OnFrameDone};

PixelSurface BufferSurface(const Output& o, const ShmBuffer& b) {
  return PixelSurface{b.pixels, o.pixelWidth, o.pixelHeight};
}

// The free buffer that holds the newest frame, or a new one; null when the
// compositor holds all there may be, or memory runs out.
ShmBuffer* FreeBuffer(WaylandSaver& s, Output& o) {
  ShmBuffer* best = nullptr;
  for (ShmBuffer& b : o.buffers)
    if (b.buffer != nullptr && !b.busy && (best == nullptr || b.frame > best->frame)) best = &b;
  if (best != nullptr) return best;
  for (ShmBuffer& b : o.buffers)
    if (b.buffer == nullptr)
      return CreateShmBuffer(s, b, o.pixelWidth, o.pixelHeight, o.pixelWidth * 4, WL_SHM_FORMAT_XRGB8888) ? &b
                                                                                                         : nullptr;
  return nullptr;
}

void CopyBlock(const Output& o, const PixelSurface& target, const PresentBlock& b) {
  CopyRect(Depth, target, b.windowX, b.windowY, b.width, b.height, o.scene.surfaces.work, b.sourceX, b.sourceY);
}

// Brings the buffer from the frame it holds to frame n, the newest.
void CatchUp(const Output& o, ShmBuffer& b, std::uint32_t n) {
  const PixelSurface target = BufferSurface(o, b);
  if (b.frame == 0 || n - b.frame > static_cast<std::uint32_t>(MaxBuffers)) {
    CopyBlock(o, target, FramePresentBlock(o.scene.animation));
  } else {
    for (std::uint32_t f = b.frame + 1; f <= n; ++f) {
      const std::int32_t slot = static_cast<std::int32_t>(f % MaxBuffers);
      for (std::int32_t i = 0; i < o.recentCount[slot]; ++i) CopyBlock(o, target, o.recent[slot][i]);
    }
  }
  b.frame = n;
}

// Damage for a block, cut to the buffer.
void Damage(const Output& o, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  const std::int32_t left = x < 0 ? 0 : x, top = y < 0 ? 0 : y;
  const std::int32_t right = x + width < o.pixelWidth ? x + width : o.pixelWidth;
  const std::int32_t bottom = y + height < o.pixelHeight ? y + height : o.pixelHeight;
  if (right > left && bottom > top) wl_surface_damage_buffer(o.surface, left, top, right - left, bottom - top);
}

// The frame rate in the lower left corner, white on black, at the scene's
// scale; damaged every frame, since the blocks may cover it.
void DrawFps(const Output& o, const PixelSurface& target) {
  const char* text = o.clock.fpsText;
  const std::int32_t k = o.layout.scale, length = static_cast<std::int32_t>(std::strlen(text));
  if (length == 0) return;
  const std::int32_t width = length * CellWidth * k, height = CellHeight * k;
  const std::int32_t left = 8 * k, top = o.pixelHeight - 8 * k - height;
  if (left + width > target.width || top < 0) return;
  FillBlack(Depth, target, left, top, width, height);
  for (std::int32_t c = 0; c < length; ++c) {
    const char* found = std::strchr(FontCharacters, text[c]);
    const std::uint8_t* rows = FontRows[found != nullptr ? found - FontCharacters : sizeof FontCharacters - 2];
    for (std::int32_t row = 0; row < 7; ++row)
      for (std::int32_t column = 0; column < 5; ++column) {
        if ((rows[row] >> (4 - column) & 1) == 0) continue;
        for (std::int32_t y = 0; y < k; ++y) {
          std::uint8_t* p = PixelAddress(target, Depth, left + (c * CellWidth + column) * k, top + (row + 1) * k + y);
          std::memset(p, 0xFF, static_cast<std::size_t>(k) * 4);
        }
      }
  }
  Damage(o, left, top, width, height);
}

}  // namespace

bool CreateShmBuffer(WaylandSaver& s, ShmBuffer& b, std::int32_t width, std::int32_t height, std::int32_t stride,
                     std::uint32_t format) {
  b = ShmBuffer{};
  const std::size_t size = static_cast<std::size_t>(stride) * height;
  const int fd = memfd_create("gyrewell-wayland", MFD_CLOEXEC);
  if (fd < 0) return false;
  if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
    close(fd);
    return false;
  }
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (memory == MAP_FAILED) {
    close(fd);
    return false;
  }
  wl_shm_pool* pool = wl_shm_create_pool(s.shm, fd, static_cast<std::int32_t>(size));
  b.buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
  wl_shm_pool_destroy(pool);  // the buffer keeps the memory
  close(fd);
  b.pixels = static_cast<std::uint8_t*>(memory);
  b.size = size;
  wl_buffer_add_listener(b.buffer, &BufferListener, &b);
  return true;
}

void DestroyShmBuffer(ShmBuffer& b) {
  if (b.buffer != nullptr) wl_buffer_destroy(b.buffer);
  if (b.pixels != nullptr) munmap(b.pixels, b.size);
  b = ShmBuffer{};
}

void DestroyFrameBuffers(Output& o) {
  if (o.frameCallback != nullptr) wl_callback_destroy(o.frameCallback);
  o.frameCallback = nullptr;
  for (ShmBuffer& b : o.buffers) DestroyShmBuffer(b);
  o.frame = 0;
  for (std::int32_t& count : o.recentCount) count = 0;
}

bool ReadyForFrame(const Output& o) {
  if (o.state != FieldRunning || !o.sceneBuilt || o.resized || o.held || o.frameCallback != nullptr) return false;
  for (const ShmBuffer& b : o.buffers)
    if (b.buffer == nullptr || !b.busy) return true;
  return false;  // the compositor holds them all: a release will come
}

bool PresentOutputFrame(WaylandSaver& s, Output& o) {
  ShmBuffer* b = FreeBuffer(s, o);
  if (b == nullptr) return false;  // ReadyForFrame saw one free or to be made: no memory for it
  const FramePresentation& p = PresentScene(o.scene);
  const std::uint32_t n = ++o.frame;
  const std::int32_t slot = static_cast<std::int32_t>(n % MaxBuffers);
  o.recentCount[slot] = p.count;
  std::memcpy(o.recent[slot], p.blocks, sizeof(PresentBlock) * static_cast<std::size_t>(p.count));
  CatchUp(o, *b, n);
  for (std::int32_t i = 0; i < p.count; ++i) {
    const PresentBlock& block = p.blocks[i];
    Damage(o, block.windowX, block.windowY, block.width, block.height);
  }
  if (s.options.showFps) DrawFps(o, BufferSurface(o, *b));
  wl_surface_attach(o.surface, b->buffer, 0, 0);
  b->busy = true;
  o.frameCallback = wl_surface_frame(o.surface);
  wl_callback_add_listener(o.frameCallback, &FrameListener, &o);
  wl_surface_commit(o.surface);
  o.held = FramePresented(o.clock, NowNanoseconds());
  MoveScene(o.scene);
  if (!o.held) ComposeScene(o.scene);
  return true;
}
