#include "effect/animation.h"
#include "effect/scene.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

TEST(Random, GeneratorSequenceAndRanges) {
  // The classic LCG (214013, 2531011, bits 16..30): seeded with 1 it gives 41,
  // 18467, 6334, 26500, 19169 on every compiler.
  std::uint32_t s = 1;
  const std::int32_t expected[5] = {41, 18467, 6334, 26500, 19169};
  for (std::int32_t e : expected) EXPECT_EQ(RandomDraw(s), e);

  s = 12345;
  bool seen[30] = {};
  for (int i = 0; i < 3000; ++i) {
    const std::int16_t v = RandomInRange(s, 1, 30);
    ASSERT_GE(v, 1);
    ASSERT_LE(v, 30);
    seen[v - 1] = true;
  }
  for (bool b : seen) EXPECT_TRUE(b);

  // A span wider than 32768 values reaches only lo..lo + 32767.
  s = 99;
  for (int i = 0; i < 20000; ++i) {
    const std::int16_t v = RandomInRange(s, -20000, 20000);
    ASSERT_GE(v, -20000);
    ASSERT_LE(v, -20000 + 32767);
  }
  EXPECT_EQ(RandomInRange(s, 7, 7), 7);
}

TEST(ScanPreviewSwitch, FirstSlashPOrSDecides) {
  EXPECT_EQ(ScanPreviewSwitchIn("C:\\x\\Gyrewell.scr /P 1234"), 1);
  EXPECT_EQ(ScanPreviewSwitchIn("Gyrewell.scr /p 1234"), 1);
  EXPECT_EQ(ScanPreviewSwitchIn("Gyrewell.scr /s /p 5"), 0);
  EXPECT_EQ(ScanPreviewSwitchIn("Gyrewell.scr /x /p 5"), 1) << "a slash before another letter is passed over";
  EXPECT_EQ(ScanPreviewSwitchIn("Gyrewell.scr -p 1234"), 0);
  EXPECT_EQ(ScanPreviewSwitchIn("Gyrewell.scr /l 1234"), 0);
  EXPECT_EQ(ScanPreviewSwitchIn("Gyrewell.scr"), 0);
  EXPECT_EQ(ScanPreviewSwitchIn("/programs/saver.scr /s"), 1) << "a slash in the path decides too";
  EXPECT_EQ(ScanPreviewSwitchIn(nullptr), 0);
  // Only the first 255 characters are looked at.
  std::string longLine(254, 'a');
  EXPECT_EQ(ScanPreviewSwitchIn((longLine + "/p").c_str()), 1);
  longLine.push_back('a');
  EXPECT_EQ(ScanPreviewSwitchIn((longLine + "/p").c_str()), 0);
}

TEST(Placement, EveryStartLiesBeyondTheVisiblePicture) {
  struct Field { std::int32_t preview, w, h, cw, ch; };
  for (const Field f : {Field{0, 1920, 1081, 1920, 1080}, Field{0, 640, 481, 640, 480}, Field{1, 0, 0, 152, 112}}) {
    auto a = std::make_unique<Animation>();
    BeginAnimation(*a, 2024, 200, 1, f.preview, f.w, f.h, f.cw, f.ch);
    // Visible part of the WorkSurface: from (32, 32) on full screen, (64, 64) in preview.
    const std::int32_t left = f.preview ? 64 : 32, top = left;
    const std::int32_t right = f.preview ? a->width - 1 : a->width + 31;
    const std::int32_t bottom = f.preview ? a->height - 1 : a->height + 30;
    const std::int32_t cx = (a->width + 64) / 2, cy = (a->height + 64) / 2;
    for (int round = 0; round < 50; ++round) {
      for (std::int32_t i = 0; i < a->spriteCount; ++i) {
        PlaceSlot(*a, i);
        const std::int32_t x = a->slots.x[i], y = a->slots.y[i];
        const bool outside = x + 23 < left || x > right || y + 23 < top || y > bottom;
        ASSERT_TRUE(outside) << x << "," << y;
        // Thirty moves end short of the pit's centre cell by less than 30 pixels.
        const std::int32_t endX = x + 30 * a->slots.vx[i], endY = y + 30 * a->slots.vy[i];
        ASSERT_LT(std::abs(cx - 12 - endX), 30);
        ASSERT_LT(std::abs(cy - 12 - endY), 30);
      }
    }
  }
}

TEST(Placement, MovesTruncateTowardZero) {
  auto a = std::make_unique<Animation>();
  BeginAnimation(*a, 1, 1, 1, 0, 1920, 1081, 1920, 1080);
  for (int n = 0; n < 500; ++n) {
    PlaceSlot(*a, 0);
    const std::int32_t dx = (1984 / 2 - 12) - a->slots.x[0];
    EXPECT_EQ(a->slots.vx[0], dx / 30);
    EXPECT_EQ(a->slots.vx[0] * 30 + dx % 30, dx) << "C division: -59 / 30 is -1";
  }
}

TEST(DrawPosition, WrapsIntoTheMargin) {
  EXPECT_EQ(DrawPosition(-1, 1952), 0);
  EXPECT_EQ(DrawPosition(1952, 1952), 1952);
  EXPECT_EQ(DrawPosition(1953, 1952), 0);
  EXPECT_EQ(DrawPosition(-65536 + 100, 1952), 100) << "only the low 16 bits count";
  EXPECT_EQ(DrawPosition(0, 1952), 0);
}

TEST(Preview, TwentySpritesTenFramesASecondPitCentred) {
  auto a = std::make_unique<Animation>();
  BeginAnimation(*a, 5, 150, 2, 1, 1920, 1081, 152, 112);
  EXPECT_EQ(a->spriteCount, 20);
  EXPECT_EQ(a->frameInterval, 100u);
  EXPECT_EQ(a->width, 216);
  EXPECT_EQ(a->height, 176);
  const PresentBlock p = FramePresentBlock(*a);
  EXPECT_EQ(p.sourceX, 64);
  EXPECT_EQ(p.sourceY, 64);
  EXPECT_EQ(p.width, 152);
  EXPECT_EQ(p.height, 112);

  BeginAnimation(*a, 5, 150, 2, 0, 1920, 1081, 1920, 1080);
  EXPECT_EQ(a->spriteCount, 150);
  EXPECT_EQ(a->frameInterval, 1u);
  const PresentBlock f = FramePresentBlock(*a);
  EXPECT_EQ(f.sourceX, 32);
  EXPECT_EQ(f.width, 1920);
  EXPECT_EQ(f.height, 1080) << "H is one more than the rows shown";
  BeginAnimation(*a, 5, 900, 2, 0, 1920, 1081, 1920, 1080);
  EXPECT_EQ(a->spriteCount, SlotCapacity);
}

// The saver's Win32 shell and the renderer allocate exactly these sizes.
TEST(Layout, SurfacesForTheScreen) {
  const SceneLayout l = LayOutScene(1920, 1080, 1);
  EXPECT_EQ(l.fieldWidth, 1920);
  EXPECT_EQ(l.fieldHeight, 1081) << "H is one more than the rows shown";
  EXPECT_EQ(l.desktop.width, 1920);
  EXPECT_EQ(l.desktop.height, 1080);
  EXPECT_EQ(l.snapshot.width, 1920);
  EXPECT_EQ(l.snapshot.height, 1081);
  EXPECT_EQ(l.work.width, 1984);
  EXPECT_EQ(l.work.height, 1145);
  EXPECT_EQ(l.sheet.width, 1920);
  EXPECT_EQ(l.sheet.height, 1081);
  // Rows of a DIB section are padded to four bytes: every width is a multiple
  // of four pixels, so the rows the pixel routines see lie back to back.
  const SceneLayout odd = LayOutScene(1366, 767, 1);
  EXPECT_EQ(odd.desktop.width, 1366);
  EXPECT_EQ(odd.snapshot.width, 1368);
  EXPECT_EQ(odd.work.width, 1432);
  EXPECT_EQ(odd.work.height, 832);
}

// A frame needs real surfaces; a small field keeps them light.
struct SmallScene {
  explicit SmallScene(std::int32_t bitsPerPixel)
      : depth(bitsPerPixel),
        layout(LayOutScene(W, H - 1, 1)),
        snapshot(Bytes(layout.snapshot), 0x40),
        work(Bytes(layout.work), 0x99),
        sheet(Bytes(layout.sheet), 0) {}
  std::size_t Bytes(const SurfaceSize& s) const { return static_cast<std::size_t>(s.width * s.height * depth / 8); }
  static PixelSurface View(std::vector<std::uint8_t>& memory, const SurfaceSize& s) {
    return {memory.data(), s.width, s.height};
  }
  FrameSurfaces Surfaces() {
    return {depth, View(snapshot, layout.snapshot), View(work, layout.work), View(sheet, layout.sheet), {}};
  }
  static constexpr std::int32_t W = 160, H = 121;
  std::int32_t depth;
  SceneLayout layout;
  std::vector<std::uint8_t> snapshot, work, sheet;
};

TEST(Frame, LifeOfASpriteFadesThroughLevelsOneToEight) {
  SmallScene scene(32);
  auto a = std::make_unique<Animation>();
  BeginAnimation(*a, 77, 20, 1, 0, SmallScene::W, SmallScene::H, SmallScene::W, SmallScene::H - 1);
  for (std::int32_t i = 0; i < a->spriteCount; ++i) StartSlot(*a, i);
  const std::uint16_t firstDelay = a->slots.delay[3];

  std::vector<std::uint16_t> drawn;  // slot 3's level at each drawing
  for (int frame = 0; frame < firstDelay + 29 + 30 * 3; ++frame) {
    const bool respawn = a->slots.step[3] > 29;
    drawn.push_back(respawn ? 0 : a->slots.level[3]);
    ComposeFrame(*a, scene.Surfaces());
    MoveSlots(*a);
  }
  // First cycle: firstDelay drawings at step 0, then steps 1..29; after that,
  // cycles of exactly 30 drawings: 22 at level 0, then 1..8.
  std::vector<std::uint16_t> cycle(22, 0);
  for (std::uint16_t l = 1; l <= 8; ++l) cycle.push_back(l);
  std::vector<std::uint16_t> expected(firstDelay - 1, 0);
  for (int c = 0; c < 4; ++c) expected.insert(expected.end(), cycle.begin(), cycle.end());
  EXPECT_EQ(drawn, expected);
}

TEST(Frame, BlackBackdropHasNoPitAndMarginsStayUntouchedByTheBackdrop) {
  for (std::int32_t depth : {16, 24, 32}) {
    SmallScene scene(depth);
    auto a = std::make_unique<Animation>();
    BeginAnimation(*a, 3, 20, 2, 0, SmallScene::W, SmallScene::H, SmallScene::W, SmallScene::H - 1);
    for (std::int32_t i = 0; i < a->spriteCount; ++i) StartSlot(*a, i);
    ComposeFrame(*a, scene.Surfaces());
    const std::int32_t bytes = depth / 8, rowBytes = scene.layout.work.width * bytes;
    // The first frame shows no sprite (all start beyond the edges) and, with the
    // black backdrop, no pit: the visible W x (H - 1) block is all zero.
    for (std::int32_t y = 32; y < 32 + SmallScene::H - 1; ++y)
      for (std::int32_t x = 32 * bytes; x < (32 + SmallScene::W) * bytes; ++x)
        ASSERT_EQ(scene.work[static_cast<std::size_t>(y * rowBytes + x)], 0) << depth << " at " << x << "," << y;
  }
}

TEST(Frame, DesktopBackdropCarriesThePitPicture) {
  // A sheet whose pit mask is full everywhere and whose pit picture is 0x11:
  // the 96 x 96 block at the centre becomes the pit picture, the rest stays the
  // snapshot.
  SmallScene scene(24);
  const PixelSurface sheet = scene.Surfaces().sheet;
  for (std::int32_t y = 288; y < 384; ++y) {
    for (std::int32_t x = 0; x < 96; ++x) {
      std::uint8_t* picture = PixelAddress(sheet, 24, x, y);
      std::uint8_t* mask = PixelAddress(sheet, 24, 96 + x, y);
      picture[0] = picture[1] = picture[2] = 0x11;
      mask[0] = mask[1] = mask[2] = 0xFF;
    }
  }
  auto a = std::make_unique<Animation>();
  BeginAnimation(*a, 3, 20, 1, 0, SmallScene::W, SmallScene::H, SmallScene::W, SmallScene::H - 1);
  for (std::int32_t i = 0; i < a->spriteCount; ++i) StartSlot(*a, i);
  ComposeFrame(*a, scene.Surfaces());
  const PixelSurface work = scene.Surfaces().work;
  const std::int32_t cx = (SmallScene::W + 64) / 2, cy = (SmallScene::H + 64) / 2;
  EXPECT_EQ(PixelAddress(work, 24, cx - 48, cy - 48)[0], 0x11);
  EXPECT_EQ(PixelAddress(work, 24, cx + 47, cy + 47)[0], 0x11);
  EXPECT_EQ(PixelAddress(work, 24, cx + 48, cy)[0], 0x40);
  EXPECT_EQ(PixelAddress(work, 24, 32, 32)[0], 0x40);
  EXPECT_EQ(PixelAddress(work, 24, 31, 32)[0], 0x99) << "the margin is never part of the backdrop";
  EXPECT_EQ(PixelAddress(work, 24, 32, 32 + SmallScene::H - 1)[0], 0x99) << "H - 1 rows only";
}

}  // namespace
