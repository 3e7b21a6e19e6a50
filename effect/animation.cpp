#include "effect/animation.h"

#include <cstring>

#include "effect/render/mask_blend.h"
#include "effect/render/rect_copy.h"
#include "effect/settings_rules.h"

namespace {

// Cells of the sheet the frame uses.
constexpr std::int32_t MaskRowsTop = SpriteSize;      // level L at y = (L + 1) * 24
constexpr std::int32_t SpriteScratchX = 0, SpriteScratchY = 264;
constexpr std::int32_t PitPictureX = 0, PitMaskX = 96, PitScratchX = 192, PitY = 288;
constexpr std::int32_t LastLevel = LevelCount - 1;
constexpr std::int32_t FadeAfterStep = 20;

std::int32_t CentreX(const Animation& a) { return WorkExtent(a.width) / 2; }
std::int32_t CentreY(const Animation& a) { return WorkExtent(a.height) / 2; }
// Top-left of the pit's cell in the WorkSurface.
std::int32_t PitLeft(const Animation& a) { return CentreX(a) - PitSize / 2; }
std::int32_t PitTop(const Animation& a) { return CentreY(a) - PitSize / 2; }

std::int32_t Min(std::int32_t a, std::int32_t b) { return a < b ? a : b; }
std::int32_t Max(std::int32_t a, std::int32_t b) { return a > b ? a : b; }

std::int16_t Bound(std::int32_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v)); }

// The sheet's art as it is drawn: the sheet itself at scale 1, its enlargement
// above.
const PixelSurface& Art(const Animation& a, const FrameSurfaces& s) { return a.scale > 1 ? s.enlarged : s.sheet; }

// Remembers a drawn cell given in logical pixels, in the WorkSurface's pixels.
void Remember(Animation& a, std::int32_t x, std::int32_t y, std::int32_t size) {
  const std::int32_t k = a.scale;
  a.drawn[a.drawnCount++] = DrawnCell{x * k, y * k, size * k, size * k};
}

// Blends a picture of the sheet through a mask of the sheet onto the WorkSurface
// at (x, y), all in logical pixels. The reference way copies the background
// into a scratch cell of the sheet, blends there and copies the cell back;
// blending in place gives the same bytes (the blend reads each destination
// pixel once and the rectangles never overlap) without the two copies, and is
// what the incremental frames and every frame drawn larger use.
void BlendOntoWork(const Animation& a, const FrameSurfaces& s, bool inPlace, std::int32_t x, std::int32_t y,
                   std::int32_t size, std::int32_t scratchX, std::int32_t scratchY, std::int32_t pictureX,
                   std::int32_t pictureY, std::int32_t maskX, std::int32_t maskY) {
  const std::int32_t k = a.scale;
  if (inPlace || k > 1) {
    const PixelSurface& art = Art(a, s);
    PrefetchRect(s.depth, s.work, x * k, y * k, size * k, size * k);
    MaskBlend(s.depth, s.work, x * k, y * k, size * k, size * k, art, pictureX * k, pictureY * k, art, maskX * k,
              maskY * k);
    return;
  }
  CopyRect(s.depth, s.sheet, scratchX, scratchY, size, size, s.work, x, y);
  MaskBlend(s.depth, s.sheet, scratchX, scratchY, size, size, s.sheet, pictureX, pictureY, s.sheet, maskX, maskY);
  CopyRect(s.depth, s.work, x, y, size, size, s.sheet, scratchX, scratchY);
}

void LayPit(Animation& a, const FrameSurfaces& s, bool inPlace) {
  const std::int32_t left = PitLeft(a), top = PitTop(a);
  BlendOntoWork(a, s, inPlace, left, top, PitSize, PitScratchX, PitY, PitPictureX, PitY, PitMaskX, PitY);
  Remember(a, left, top, PitSize);
}

struct Area {
  std::int32_t left, top, right, bottom;  // right and bottom exclusive
};

// The backdrop over an area of the WorkSurface: the desktop snapshot, or black.
void LayBackdrop(const Animation& a, const FrameSurfaces& s, const Area& r) {
  const std::int32_t width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  if (a.backdropMode == BackdropDesktop) {
    const std::int32_t margin = FieldMargin * a.scale;
    CopyRect(s.depth, s.work, r.left, r.top, width, height, s.snapshot, r.left - margin, r.top - margin);
  } else {
    FillBlack(s.depth, s.work, r.left, r.top, width, height);
  }
}

// The part of a size x size mask cell of the sheet that is not empty, relative
// to the cell (width 0 when all of it is). Blending leaves every other pixel of
// the cell as it was, so the incremental frames restore, blend and present only
// this part. Measured on the imported sheet, so it holds at the display's depth.
DrawnCell MeasureInk(const FrameSurfaces& s, std::int32_t maskX, std::int32_t maskY, std::int32_t size) {
  std::int32_t left = size, top = size, right = -1, bottom = -1;
  for (std::int32_t y = 0; y < size; ++y) {
    for (std::int32_t x = 0; x < size; ++x) {
      const std::uint8_t* m = PixelAddress(s.sheet, s.depth, maskX + x, maskY + y);
      if ((s.depth == 16 ? (m[0] & 0x1F) : m[0]) == 0) continue;
      if (x < left) left = x;
      if (x > right) right = x;
      if (y < top) top = y;
      bottom = y;
    }
  }
  if (right < 0) return DrawnCell{0, 0, 0, 0};
  return DrawnCell{left, top, right - left + 1, bottom - top + 1};
}

void MeasureSheetInk(Animation& a, const FrameSurfaces& s) {
  if (a.inkMeasured || s.sheet.bits == nullptr || BytesPerPixel(s.depth) == 0) return;
  a.inkMeasured = true;
  for (std::int32_t kind = 0; kind < KindCount; ++kind)
    for (std::int32_t level = 0; level < LevelCount; ++level)
      a.spriteInk[kind * LevelCount + level] =
          MeasureInk(s, kind * SpriteSize, MaskRowsTop + level * SpriteSize, SpriteSize);
  a.pitInk = MeasureInk(s, PitMaskX, PitY, PitSize);
}

void DrawSprites(Animation& a, const FrameSurfaces& s, bool inPlace) {
  SpriteSlots& t = a.slots;
  const std::int32_t k = a.scale;
  const PixelSurface& art = Art(a, s);
  for (std::int32_t i = 0; i < a.spriteCount; ++i) {
    if (t.step[i] > MovesPerCycle - 1) {
      t.step[i] = 0;
      t.level[i] = 0;
      PlaceSlot(a, i);
    }
    const std::int32_t px = DrawPosition(t.x[i], a.width + FieldMargin);
    const std::int32_t py = DrawPosition(t.y[i], a.height + FieldMargin);
    const std::int32_t column = t.kind[i] * SpriteSize;
    const std::int32_t maskY = MaskRowsTop + t.level[i] * SpriteSize;
    if (inPlace) {
      const DrawnCell ink = a.spriteInk[t.kind[i] * LevelCount + t.level[i]];
      const DrawnCell at = {(px + ink.x) * k, (py + ink.y) * k, ink.width * k, ink.height * k};
      if (ink.width > 0) {
        PrefetchRect(s.depth, s.work, at.x, at.y, at.width, at.height);
        MaskBlend(s.depth, s.work, at.x, at.y, at.width, at.height, art, (column + ink.x) * k, ink.y * k, art,
                  (column + ink.x) * k, (maskY + ink.y) * k);
      }
      a.drawn[a.drawnCount++] = at;
    } else {
      BlendOntoWork(a, s, false, px, py, SpriteSize, SpriteScratchX, SpriteScratchY, column, 0, column, maskY);
      Remember(a, px, py, SpriteSize);
    }
    if (t.step[i] > FadeAfterStep && t.level[i] < LastLevel) t.level[i] = static_cast<std::uint16_t>(t.level[i] + 1);
  }
}

// The rectangle the backdrop is restored in: the field's visible picture, in
// WorkSurface pixels. The margin around it is never part of the backdrop, so a
// full recomposition leaves it as it is, and so do the incremental frames.
Area Picture(const Animation& a) {
  const std::int32_t k = a.scale;
  return {FieldMargin * k, FieldMargin * k, (FieldMargin + a.width) * k, (FieldMargin + a.height - 1) * k};
}

// Where the pit's mask is not empty, in WorkSurface pixels.
Area PitInkArea(const Animation& a) {
  const std::int32_t k = a.scale;
  const std::int32_t left = (PitLeft(a) + a.pitInk.x) * k, top = (PitTop(a) + a.pitInk.y) * k;
  return {left, top, left + a.pitInk.width * k, top + a.pitInk.height * k};
}

Area Cut(const Area& r, const Area& to) {
  return {Max(r.left, to.left), Max(r.top, to.top), Min(r.right, to.right), Min(r.bottom, to.bottom)};
}

Area Cut(const DrawnCell& c, const Area& to) { return Cut(Area{c.x, c.y, c.x + c.width, c.y + c.height}, to); }

bool Empty(const Area& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Inside(const Area& inner, const Area& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Blends the part r of the pit cell again, onto backdrop just restored there.
void RelayPit(const Animation& a, const FrameSurfaces& s, const Area& r) {
  const std::int32_t k = a.scale;
  const std::int32_t ox = r.left - PitLeft(a) * k, oy = r.top - PitTop(a) * k;
  const PixelSurface& art = Art(a, s);
  MaskBlend(s.depth, s.work, r.left, r.top, r.right - r.left, r.bottom - r.top, art, PitPictureX * k + ox,
            PitY * k + oy, art, PitMaskX * k + ox, PitY * k + oy);
}

// The presented picture in WorkSurface pixels: the whole of it, and the part
// that is drawn (scale times the logical picture). The rest, a strip right of
// it and one below it narrower than one logical pixel, keeps the backdrop.
Area ShownArea(const Animation& a) {
  const PresentBlock b = FramePresentBlock(a);
  return {b.sourceX, b.sourceY, b.sourceX + b.width, b.sourceY + b.height};
}

Area DrawnArea(const Animation& a) {
  const Area shown = ShownArea(a);
  const std::int32_t k = a.scale;
  const std::int32_t width = a.previewFlag == PreviewOn ? a.clientWidth : a.width;
  const std::int32_t height = a.previewFlag == PreviewOn ? a.clientHeight : a.height - 1;
  return {shown.left, shown.top, shown.left + width * k, shown.top + height * k};
}

// Lays the backdrop over the strips of the presented picture beyond the drawn
// part: a full frame presents them, and sprites and the pit, which reach there
// only when drawn larger, must not show in them.
void LayStrips(const Animation& a, const FrameSurfaces& s) {
  const Area shown = ShownArea(a), drawn = DrawnArea(a);
  LayBackdrop(a, s, Area{drawn.right, shown.top, shown.right, shown.bottom});
  LayBackdrop(a, s, Area{shown.left, drawn.bottom, drawn.right, shown.bottom});
}

void AddChanged(Animation& a, const Area& shown, const DrawnCell& c) {
  const Area r = Cut(c, shown);
  if (!Empty(r)) a.changed[a.changedCount++] = DrawnCell{r.left, r.top, r.right - r.left, r.bottom - r.top};
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
  a.windowLeft = 0;
  a.windowTop = 0;
  a.frameInterval = SaverFrameInterval;
  if (previewFlag == PreviewOn) {
    a.frameInterval = PreviewFrameInterval;
    a.spriteCount = PreviewSpriteCount;
    a.width = PreviewField(clientWidth);
    a.height = PreviewField(clientHeight);
  }
  if (a.spriteCount > SlotCapacity) a.spriteCount = SlotCapacity;
  if (a.spriteCount < 0) a.spriteCount = 0;
  SetDrawingScale(a, 1, a.previewFlag == PreviewOn ? a.clientWidth : a.width,
                  a.previewFlag == PreviewOn ? a.clientHeight : a.height - 1);
  a.drawnCount = 0;
  a.inkMeasured = false;
}

void SetDrawingScale(Animation& a, std::int32_t scale, std::int32_t shownWidth, std::int32_t shownHeight) {
  a.scale = scale < 1 ? 1 : scale;
  a.shownWidth = shownWidth;
  a.shownHeight = shownHeight;
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
  MeasureSheetInk(a, s);  // once, for the incremental frames that follow
  a.drawnCount = 0;
  LayBackdrop(a, s, Picture(a));
  if (a.backdropMode == BackdropDesktop) LayPit(a, s, false);
  DrawSprites(a, s, false);
  LayStrips(a, s);
  const Area shown = ShownArea(a);
  a.changedCount = 0;
  AddChanged(a, shown, DrawnCell{shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top});
}

void ComposeChangedFrame(Animation& a, const FrameSurfaces& s) {
  const Area picture = Picture(a), pit = PitInkArea(a);
  // The pit is the same in every frame. When it lies wholly in the restored
  // picture it is laid only where the backdrop is put back; elsewhere it is
  // still there from the frame before.
  const bool pitStays = a.backdropMode == BackdropDesktop && Inside(pit, picture);

  // Put the backdrop back under what the previous frame drew.
  const std::int32_t previousCount = a.drawnCount;
  for (std::int32_t i = 0; i < previousCount; ++i) {
    const Area r = Cut(a.drawn[i], picture);
    if (Empty(r)) continue;
    LayBackdrop(a, s, r);
    if (!pitStays) continue;
    const Area under = Cut(r, pit);
    if (!Empty(under)) RelayPit(a, s, under);
  }
  DrawnCell previous[SlotCapacity + 1];
  std::memcpy(previous, a.drawn, sizeof(DrawnCell) * static_cast<std::size_t>(previousCount));

  a.drawnCount = 0;
  if (a.backdropMode == BackdropDesktop && !pitStays) LayPit(a, s, true);
  DrawSprites(a, s, true);

  // What changed: the previous cells and the new ones, in the drawn part of the
  // picture. The strips beyond it, where a sprite drawn larger may now lie in
  // the WorkSurface, are never presented again: the window keeps the backdrop
  // the last full frame gave them. A sprite's old and new cells (the lists end
  // with the sprites in slot order, so they pair up from the end) become one
  // block when that is no larger than the two apart.
  const Area shown = DrawnArea(a);
  a.changedCount = 0;
  std::int32_t p = previousCount, c = a.drawnCount;
  while (p > 0 && c > 0) {
    const DrawnCell& was = previous[--p];
    const DrawnCell& now = a.drawn[--c];
    if (was.width == 0 || now.width == 0) {  // a sprite with nothing to show
      AddChanged(a, shown, was);
      AddChanged(a, shown, now);
      continue;
    }
    const std::int32_t left = Min(was.x, now.x), top = Min(was.y, now.y);
    const std::int32_t right = Max(was.x + was.width, now.x + now.width);
    const std::int32_t bottom = Max(was.y + was.height, now.y + now.height);
    const std::int64_t joined = std::int64_t{right - left} * (bottom - top);
    if (joined <= std::int64_t{was.width} * was.height + std::int64_t{now.width} * now.height) {
      AddChanged(a, shown, DrawnCell{left, top, right - left, bottom - top});
    } else {
      AddChanged(a, shown, was);
      AddChanged(a, shown, now);
    }
  }
  while (p > 0) AddChanged(a, shown, previous[--p]);
  while (c > 0) AddChanged(a, shown, a.drawn[--c]);
}

PresentBlock FramePresentBlock(const Animation& a) {
  const std::int32_t k = a.scale;
  if (a.previewFlag == PreviewOn) {
    return {(CentreX(a) - a.clientWidth / 2) * k, (CentreY(a) - a.clientHeight / 2) * k, a.shownWidth, a.shownHeight,
            a.windowLeft, a.windowTop};
  }
  return {FieldMargin * k, FieldMargin * k, a.shownWidth, a.shownHeight, a.windowLeft, a.windowTop};
}

void PlanPresentation(const Animation& a, FramePresentation& p) {
  const PresentBlock shown = FramePresentBlock(a);
  const std::int32_t dx = shown.windowX - shown.sourceX, dy = shown.windowY - shown.sourceY;
  Area bounds = {0, 0, 0, 0};
  p.count = a.changedCount;
  for (std::int32_t i = 0; i < a.changedCount; ++i) {
    const DrawnCell& c = a.changed[i];
    p.blocks[i] = PresentBlock{c.x, c.y, c.width, c.height, c.x + dx, c.y + dy};
    const Area r = {c.x, c.y, c.x + c.width, c.y + c.height};
    bounds = i == 0 ? r : Area{Min(bounds.left, r.left), Min(bounds.top, r.top), Max(bounds.right, r.right),
                               Max(bounds.bottom, r.bottom)};
  }
  p.bounds = p.count == 0 ? PresentBlock{0, 0, 0, 0, 0, 0}
                          : PresentBlock{bounds.left, bounds.top, bounds.right - bounds.left,
                                         bounds.bottom - bounds.top, bounds.left + dx, bounds.top + dy};
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
