#include "effect/animation.h"

#include <cstring>

#include "effect/render/mask_blend.h"
#include "effect/render/rect_copy.h"

namespace {

// Cells of the sheet the frame uses.
constexpr std::int32_t MaskRowsTop = SpriteSize;      // level L at y = (L + 1) * 24
constexpr std::int32_t SpriteScratchX = 0, SpriteScratchY = 264;
constexpr std::int32_t PitPictureX = 0, PitMaskX = 96, PitScratchX = 192, PitY = 288;
constexpr std::int32_t KindCount = 6;
constexpr std::int32_t LastLevel = 9;
constexpr std::int32_t FadeAfterStep = 20;

std::int32_t CentreX(const Animation& a) { return (a.width + 2 * FieldMargin) / 2; }
std::int32_t CentreY(const Animation& a) { return (a.height + 2 * FieldMargin) / 2; }

std::int16_t Bound(std::int32_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v)); }

void Remember(Animation& a, std::int32_t x, std::int32_t y, std::int32_t size) {
  a.drawn[a.drawnCount++] = DrawnCell{x, y, size, size};
}

// Blends a picture of the sheet through a mask of the sheet onto the WorkSurface
// at (x, y). The reference way copies the background into a scratch cell of the
// sheet, blends there and copies the cell back; blending in place gives the same
// bytes (the blend reads each destination pixel once and the rectangles never
// overlap) without the two copies, and is what the incremental frames use.
void BlendOntoWork(const FrameSurfaces& s, bool inPlace, std::int32_t x, std::int32_t y, std::int32_t size,
                   std::int32_t scratchX, std::int32_t scratchY, std::int32_t pictureX, std::int32_t pictureY,
                   std::int32_t maskX, std::int32_t maskY) {
  if (inPlace) {
    PrefetchRect(s.depth, s.work, x, y, size, size);
    MaskBlend(s.depth, s.work, x, y, size, size, s.sheet, pictureX, pictureY, s.sheet, maskX, maskY);
    return;
  }
  CopyRect(s.depth, s.sheet, scratchX, scratchY, size, size, s.work, x, y);
  MaskBlend(s.depth, s.sheet, scratchX, scratchY, size, size, s.sheet, pictureX, pictureY, s.sheet, maskX, maskY);
  CopyRect(s.depth, s.work, x, y, size, size, s.sheet, scratchX, scratchY);
}

void LayPit(Animation& a, const FrameSurfaces& s, bool inPlace) {
  const std::int32_t left = CentreX(a) - PitSize / 2;
  const std::int32_t top = CentreY(a) - PitSize / 2;
  BlendOntoWork(s, inPlace, left, top, PitSize, PitScratchX, PitY, PitPictureX, PitY, PitMaskX, PitY);
  Remember(a, left, top, PitSize);
}

// The backdrop of the visible picture: the desktop snapshot, or black.
void LayBackdrop(const Animation& a, const FrameSurfaces& s, std::int32_t x, std::int32_t y, std::int32_t width,
                 std::int32_t height) {
  if (a.backdropMode == 1) {
    CopyRect(s.depth, s.work, x, y, width, height, s.snapshot, x - FieldMargin, y - FieldMargin);
  } else {
    FillBlack(s.depth, s.work, x, y, width, height);
  }
}

void DrawSprites(Animation& a, const FrameSurfaces& s, bool inPlace) {
  SpriteSlots& t = a.slots;
  for (std::int32_t i = 0; i < a.spriteCount; ++i) {
    if (t.step[i] > MovesPerCycle - 1) {
      t.step[i] = 0;
      t.level[i] = 0;
      PlaceSlot(a, i);
    }
    const std::int32_t px = DrawPosition(t.x[i], a.width + FieldMargin);
    const std::int32_t py = DrawPosition(t.y[i], a.height + FieldMargin);
    const std::int32_t column = t.kind[i] * SpriteSize;
    BlendOntoWork(s, inPlace, px, py, SpriteSize, SpriteScratchX, SpriteScratchY, column, 0, column,
                  MaskRowsTop + t.level[i] * SpriteSize);
    Remember(a, px, py, SpriteSize);
    if (t.step[i] > FadeAfterStep && t.level[i] < LastLevel) t.level[i] = static_cast<std::uint16_t>(t.level[i] + 1);
  }
}

bool FitsChangeGrid(const Animation& a) {
  return a.width + 2 * FieldMargin <= ChangeGridSize * ChangeTile &&
         a.height + 2 * FieldMargin <= ChangeGridSize * ChangeTile;
}

void MarkChanged(Animation& a, const DrawnCell& c) {
  const std::int32_t right = c.x + c.width - 1, bottom = c.y + c.height - 1;
  for (std::int32_t ty = c.y / ChangeTile; ty <= bottom / ChangeTile; ++ty)
    for (std::int32_t tx = c.x / ChangeTile; tx <= right / ChangeTile; ++tx) a.changed[ty * ChangeGridSize + tx] = 1;
}

}  // namespace

std::int32_t RandomDraw(std::uint32_t& state) {
  state = state * 214013u + 2531011u;
  return static_cast<std::int32_t>(state >> 16 & 0x7FFF);
}

std::int16_t RandomInRange(std::uint32_t& state, std::int16_t lo, std::int16_t hi) {
  const std::uint32_t r = static_cast<std::uint32_t>(RandomDraw(state));
  const std::int32_t span = static_cast<std::int32_t>(hi) - lo + 1;
  // Bounds cut to 16 bits can cross (a field wider than 16383 pixels); a span of
  // zero would divide by zero, so it yields lo.
  if (span == 0) return lo;
  return Bound(lo + static_cast<std::int32_t>(r % static_cast<std::uint32_t>(span)));
}

std::int32_t ScanPreviewSwitchIn(const char* commandLine) {
  if (commandLine == nullptr) return 0;
  for (int i = 0; i < 255 && commandLine[i] != '\0'; ++i) {
    if (commandLine[i] != '/') continue;
    const int folded = commandLine[i + 1] & 0xDF;
    if (folded == 'P') return 1;
    if (folded == 'S') return 0;
  }
  return 0;
}

void BeginAnimation(Animation& a, std::uint32_t seed, std::int32_t spriteCount, std::int32_t backdropMode,
                    std::int32_t previewFlag, std::int32_t width, std::int32_t height, std::int32_t clientWidth,
                    std::int32_t clientHeight) {
  a.random = seed;
  a.spriteCount = spriteCount;
  a.backdropMode = backdropMode;
  a.previewFlag = previewFlag;
  a.width = width;
  a.height = height;
  a.clientWidth = clientWidth;
  a.clientHeight = clientHeight;
  a.frameInterval = 1;
  if (previewFlag == 1) {
    a.frameInterval = 100;
    a.spriteCount = 20;
    a.width = clientWidth + 2 * FieldMargin;
    a.height = clientHeight + 2 * FieldMargin;
  }
  if (a.spriteCount > SlotCapacity) a.spriteCount = SlotCapacity;
  if (a.spriteCount < 0) a.spriteCount = 0;
  a.drawnCount = 0;
}

void PlaceSlot(Animation& a, std::int32_t i) {
  const std::int32_t w = a.width, h = a.height;
  std::uint32_t& r = a.random;
  std::int32_t x = 0, y = 0;
  switch (RandomInRange(r, 0, 3)) {
    case 0:  // above
      x = RandomInRange(r, Bound(-w), Bound(2 * w));
      y = RandomInRange(r, Bound(-h), 0);
      break;
    case 1:  // right
      x = RandomInRange(r, Bound(w + FieldMargin), Bound(2 * w));
      y = RandomInRange(r, Bound(-h), Bound(2 * h));
      break;
    case 2:  // below
      x = RandomInRange(r, Bound(-w), Bound(2 * w));
      y = RandomInRange(r, Bound(h + FieldMargin), Bound(2 * h));
      break;
    default:  // left
      x = RandomInRange(r, Bound(-w), 0);
      y = RandomInRange(r, Bound(-h), Bound(2 * h));
      break;
  }
  a.slots.x[i] = x;
  a.slots.y[i] = y;
  a.slots.vx[i] = (CentreX(a) - SpriteSize / 2 - x) / MovesPerCycle;
  a.slots.vy[i] = (CentreY(a) - SpriteSize / 2 - y) / MovesPerCycle;
}

void StartSlot(Animation& a, std::int32_t i) {
  a.slots.step[i] = 0;
  a.slots.delay[i] = static_cast<std::uint16_t>(RandomInRange(a.random, 1, MovesPerCycle));
  PlaceSlot(a, i);
  a.slots.kind[i] = static_cast<std::uint16_t>(RandomInRange(a.random, 0, KindCount - 1));
  a.slots.level[i] = 0;
}

std::int32_t DrawPosition(std::int32_t coordinate, std::int32_t limit) {
  const std::int32_t p = static_cast<std::int32_t>(static_cast<std::uint32_t>(coordinate) & 0xFFFFu);
  return p > limit ? 0 : p;
}

void ComposeFrame(Animation& a, const FrameSurfaces& s) {
  a.drawnCount = 0;
  LayBackdrop(a, s, FieldMargin, FieldMargin, a.width, a.height - 1);
  if (a.backdropMode == 1) LayPit(a, s, false);
  DrawSprites(a, s, false);
}

bool ComposeChangedFrame(Animation& a, const FrameSurfaces& s) {
  if (!FitsChangeGrid(a)) {
    ComposeFrame(a, s);
    return false;
  }
  const std::int32_t rows = (a.height + 2 * FieldMargin + ChangeTile - 1) / ChangeTile;
  const std::int32_t columns = (a.width + 2 * FieldMargin + ChangeTile - 1) / ChangeTile;
  for (std::int32_t r = 0; r < rows; ++r) std::memset(a.changed + r * ChangeGridSize, 0, static_cast<std::size_t>(columns));

  // Put the backdrop back under what the previous frame drew; the margin around
  // the picture is never part of the backdrop, so it is left as it is, exactly as
  // a full recomposition leaves it.
  const std::int32_t right = FieldMargin + a.width, bottom = FieldMargin + a.height - 1;
  for (std::int32_t i = 0; i < a.drawnCount; ++i) {
    const DrawnCell& c = a.drawn[i];
    const std::int32_t x0 = c.x > FieldMargin ? c.x : FieldMargin, y0 = c.y > FieldMargin ? c.y : FieldMargin;
    const std::int32_t x1 = c.x + c.width < right ? c.x + c.width : right;
    const std::int32_t y1 = c.y + c.height < bottom ? c.y + c.height : bottom;
    if (x1 > x0 && y1 > y0) LayBackdrop(a, s, x0, y0, x1 - x0, y1 - y0);
    MarkChanged(a, c);
  }
  a.drawnCount = 0;
  if (a.backdropMode == 1) LayPit(a, s, true);
  DrawSprites(a, s, true);
  for (std::int32_t i = 0; i < a.drawnCount; ++i) MarkChanged(a, a.drawn[i]);
  return true;
}

PresentBlock FramePresentBlock(const Animation& a) {
  if (a.previewFlag == 1) {
    return {CentreX(a) - a.clientWidth / 2, CentreY(a) - a.clientHeight / 2, a.clientWidth, a.clientHeight, 0, 0};
  }
  return {FieldMargin, FieldMargin, a.width, a.height - 1, 0, 0};
}

void ForEachChangedBlock(const Animation& a, PresentCopy copy, void* context) {
  const PresentBlock shown = FramePresentBlock(a);
  const std::int32_t firstRow = shown.sourceY / ChangeTile;
  const std::int32_t lastRow = (shown.sourceY + shown.height - 1) / ChangeTile;
  const std::int32_t firstColumn = shown.sourceX / ChangeTile;
  const std::int32_t lastColumn = (shown.sourceX + shown.width - 1) / ChangeTile;
  for (std::int32_t ty = firstRow; ty <= lastRow; ++ty) {
    const std::uint8_t* row = a.changed + ty * ChangeGridSize;
    for (std::int32_t tx = firstColumn; tx <= lastColumn; ++tx) {
      // Most of a row is unchanged: pass over eight clear tiles at a time.
      while (tx + 8 <= lastColumn + 1) {
        std::uint64_t eight;
        std::memcpy(&eight, row + tx, sizeof eight);
        if (eight != 0) break;
        tx += 8;
      }
      if (tx > lastColumn) break;
      if (!row[tx]) continue;
      const std::int32_t runStart = tx;
      while (tx + 1 <= lastColumn && row[tx + 1]) ++tx;
      // The run of tiles, cut to the presented block, in window coordinates.
      std::int32_t x0 = runStart * ChangeTile, x1 = (tx + 1) * ChangeTile;
      std::int32_t y0 = ty * ChangeTile, y1 = y0 + ChangeTile;
      if (x0 < shown.sourceX) x0 = shown.sourceX;
      if (y0 < shown.sourceY) y0 = shown.sourceY;
      if (x1 > shown.sourceX + shown.width) x1 = shown.sourceX + shown.width;
      if (y1 > shown.sourceY + shown.height) y1 = shown.sourceY + shown.height;
      const PresentBlock block = {x0, y0, x1 - x0, y1 - y0, shown.windowX + x0 - shown.sourceX,
                                  shown.windowY + y0 - shown.sourceY};
      copy(context, block);
    }
  }
}

void MoveSlots(Animation& a) {
  SpriteSlots& t = a.slots;
  for (std::int32_t i = 0; i < a.spriteCount; ++i) {
    t.delay[i] = static_cast<std::uint16_t>(t.delay[i] - 1);
    if (t.delay[i] == 0) {
      t.delay[i] = 1;
      t.x[i] += t.vx[i];
      t.y[i] += t.vy[i];
      t.step[i] = static_cast<std::uint16_t>(t.step[i] + 1);
    }
  }
}
