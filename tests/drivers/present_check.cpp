// present_check - the saver's two ways of presenting a frame, against the frame
//
//   present_check
//
// Shows a 640 x 400 popup at (0, 0). For source surfaces of 16, 24 and 32 bits
// per pixel it shows a random picture in the window, then for 40 frames
// changes the source in random overlapping blocks (from 2 to 400 of them,
// sprite-sized, the source 32 pixels right and below, as the WorkSurface's
// margin puts it) and presents them with effect/present_window.cpp, the even
// frames clipped, the odd ones block by block. After each frame the window,
// read back, must be the whole source picture. Prints
//   depth=D frames=40 same=1|0 clipped_differing=N per_block_differing=N
// Then it times both ways with 50, 185 and 400 blocks and prints
//   blocks=N clipped_us=T per_block_us=T
// (microseconds per frame, the calls only). Exit 0 when every frame was right.
#include "driver_util.h"

#include <vector>

#include "effect/present_window.h"

namespace {

constexpr int Width = 640, Height = 400, Margin = 32;

std::uint32_t Next(std::uint32_t& s) {
  s = s * 1103515245u + 12345u;
  return s >> 8;
}

struct Dib {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  void* bits = nullptr;
};

Dib MakeDib(HDC screen, int width, int height, int depth) {
  Dib d;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(depth);
  info.bmiHeader.biCompression = BI_RGB;
  d.bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &d.bits, nullptr, 0);
  d.dc = CreateCompatibleDC(screen);
  SelectObject(d.dc, d.bitmap);
  return d;
}

void FreeDib(Dib& d) {
  DeleteDC(d.dc);
  DeleteObject(d.bitmap);
}

void RandomFrame(FramePresentation& p, int count, std::uint32_t& seed) {
  int left = Width, top = Height, right = 0, bottom = 0;
  p.count = count;
  for (int i = 0; i < count; ++i) {
    const int w = 1 + static_cast<int>(Next(seed) % 48), h = 1 + static_cast<int>(Next(seed) % 48);
    const int x = static_cast<int>(Next(seed) % (Width - w + 1)), y = static_cast<int>(Next(seed) % (Height - h + 1));
    p.blocks[i] = PresentBlock{x + Margin, y + Margin, w, h, x, y};
    if (x < left) left = x;
    if (y < top) top = y;
    if (x + w > right) right = x + w;
    if (y + h > bottom) bottom = y + h;
  }
  p.bounds = PresentBlock{left + Margin, top + Margin, right - left, bottom - top, left, top};
}

void Clipped(HDC window, HDC work, const FramePresentation& p) { PresentFrame(window, work, p, PresentClipped); }
void PerBlock(HDC window, HDC work, const FramePresentation& p) { PresentFrame(window, work, p, PresentPerBlock); }

// The pixels of a DC's 640 x 400 block at (x, y), as 32-bit pixels.
std::vector<std::uint32_t> Read(HDC dc, int x, int y, Dib& shot) {
  BitBlt(shot.dc, 0, 0, Width, Height, dc, x, y, SRCCOPY);
  GdiFlush();
  const std::uint32_t* bits = static_cast<const std::uint32_t*>(shot.bits);
  return std::vector<std::uint32_t>(bits, bits + Width * Height);
}

typedef void (*Presenter)(HDC, HDC, const FramePresentation&);

void Present(HWND window, Dib& work, const FramePresentation& p, PresentRoute route) {
  HDC dc = GetDCEx(window, nullptr, DCX_CACHE);
  PresentFrame(dc, work.dc, p, route);
  ReleaseDC(window, dc);
  GdiFlush();
}

double MicrosecondsPerFrame(HWND window, Dib& work, const FramePresentation& p, Presenter present) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  HDC dc = GetDCEx(window, nullptr, DCX_CACHE);
  const int rounds = 200;
  QueryPerformanceCounter(&start);
  for (int r = 0; r < rounds; ++r) present(dc, work.dc, p);
  GdiFlush();
  QueryPerformanceCounter(&end);
  ReleaseDC(window, dc);
  return 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) / rounds;
}

}  // namespace

int main() {
  BinaryStdout();
  WNDCLASSA cls = {};
  cls.lpfnWndProc = DefWindowProcA;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "PresentCheck";
  RegisterClassA(&cls);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "PresentCheck", "present_check", WS_POPUP | WS_VISIBLE, 0, 0, Width,
                                Height, nullptr, nullptr, cls.hInstance, nullptr);
  if (window == nullptr) return 1;
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);

  HDC screen = GetDC(nullptr);
  Dib shot = MakeDib(screen, Width, Height, 32);
  static FramePresentation frame;  // about 10 KB
  bool allSame = true;
  std::uint32_t seed = 2026;
  for (int depth : {16, 24, 32}) {
    Dib work = MakeDib(screen, Width + 2 * Margin, Height + 2 * Margin, depth);
    std::uint8_t* bytes = static_cast<std::uint8_t*>(work.bits);
    const int bytesPerPixel = depth / 8;
    const int rowBytes = ((Width + 2 * Margin) * bytesPerPixel + 3) & ~3;
    for (int i = 0; i < rowBytes * (Height + 2 * Margin); ++i) bytes[i] = static_cast<std::uint8_t>(Next(seed));
    HDC dc = GetDC(window);  // the window shows the previous frame
    BitBlt(dc, 0, 0, Width, Height, work.dc, Margin, Margin, SRCCOPY);
    ReleaseDC(window, dc);
    long long differing[2] = {0, 0};
    const int frames = 40;
    for (int f = 0; f < frames; ++f) {
      RandomFrame(frame, 2 + static_cast<int>(Next(seed) % 399), seed);
      for (int i = 0; i < frame.count; ++i) {  // the frame changes inside its blocks only
        const PresentBlock& b = frame.blocks[i];
        for (int y = b.sourceY; y < b.sourceY + b.height; ++y)
          for (int x = b.sourceX * bytesPerPixel; x < (b.sourceX + b.width) * bytesPerPixel; ++x)
            bytes[y * rowBytes + x] = static_cast<std::uint8_t>(Next(seed));
      }
      const PresentRoute route = f % 2 == 0 ? PresentClipped : PresentPerBlock;
      Present(window, work, frame, route);
      HDC shown = GetDC(window);
      const std::vector<std::uint32_t> seen = Read(shown, 0, 0, shot);
      ReleaseDC(window, shown);
      const std::vector<std::uint32_t> wanted = Read(work.dc, Margin, Margin, shot);
      for (std::size_t i = 0; i < seen.size(); ++i) differing[route] += seen[i] != wanted[i];
    }
    const bool same = differing[0] == 0 && differing[1] == 0;
    std::printf("depth=%d frames=%d same=%d clipped_differing=%lld per_block_differing=%lld\n", depth, frames,
                same ? 1 : 0, differing[0], differing[1]);
    std::fflush(stdout);
    allSame = allSame && same;
    if (depth == 32) {
      for (int count : {50, 185, 400}) {
        RandomFrame(frame, count, seed);
        const double clipped = MicrosecondsPerFrame(window, work, frame, Clipped);
        const double separate = MicrosecondsPerFrame(window, work, frame, PerBlock);
        std::printf("blocks=%d clipped_us=%.1f per_block_us=%.1f\n", count, clipped, separate);
        std::fflush(stdout);
      }
    }
    FreeDib(work);
  }
  FreeDib(shot);
  ReleaseDC(nullptr, screen);
  DestroyWindow(window);
  return allSame ? 0 : 1;
}
