// Several monitors: where each field lies and at what scale, what happens when
// surfaces cannot be had, and that every field's frames are exactly a single
// screen's frames of that size, scale and seed.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "effect/fields.h"
#include "frame_renderer.h"

namespace {

struct Placed {
  std::int32_t left, top, width, height, scale;
};

Placed At(const Field& f) { return {f.left, f.top, f.clientWidth, f.clientHeight, f.layout.scale}; }

bool operator==(const Placed& a, const Placed& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height && a.scale == b.scale;
}

std::ostream& operator<<(std::ostream& o, const Placed& p) {
  return o << p.width << "x" << p.height << "+" << p.left << "+" << p.top << " at scale " << p.scale;
}

TEST(Fields, EachMonitorItsPlaceAndScalePrimaryFirst) {
  auto set = std::make_unique<FieldSet>();
  // The main monitor on the right of a smaller one: the virtual screen starts
  // at x = -800, and the main monitor's field comes first.
  const Monitor leftOfMain[] = {{-800, 0, 0, 600, 96, false}, {0, 0, 1120, 600, 96, true}};
  PlanFields(*set, leftOfMain, 2, -800, 0, 1920, 600, 7);
  ASSERT_EQ(set->count, 2);
  EXPECT_EQ(At(set->fields[0]), (Placed{800, 0, 1120, 600, 1}));
  EXPECT_EQ(At(set->fields[1]), (Placed{0, 0, 800, 600, 1}));
  EXPECT_EQ(set->fields[0].seed, 7u);
  EXPECT_NE(set->fields[1].seed, 7u);

  // A 200 % laptop above-left of a 100 % monitor, each at its own scale; a
  // 150 % one stays at 1.
  const Monitor mixed[] = {{0, 0, 1920, 1080, 96, true}, {-3840, -2160, 0, 0, 192, false},
                           {1920, 0, 3360, 900, 144, false}};
  PlanFields(*set, mixed, 3, -3840, -2160, 7200, 3240, 1);
  ASSERT_EQ(set->count, 3);
  EXPECT_EQ(At(set->fields[0]), (Placed{3840, 2160, 1920, 1080, 1}));
  EXPECT_EQ(At(set->fields[1]), (Placed{0, 0, 3840, 2160, 2}));
  EXPECT_EQ(At(set->fields[2]), (Placed{5760, 2160, 1440, 900, 1}));
  EXPECT_EQ(set->fields[1].layout.fieldWidth, 1920);

  // Heads reported in one place get one field; a monitor is cut to the
  // window, and one too small to animate in gets none.
  const Monitor odd[] = {{0, 0, 640, 480, 96, true}, {0, 0, 640, 480, 96, false}, {600, 0, 1400, 600, 288, false},
                         {1400, 0, 1420, 600, 96, false}};
  PlanFields(*set, odd, 4, 0, 0, 1200, 600, 1);
  ASSERT_EQ(set->count, 1);
  EXPECT_EQ(At(set->fields[0]), (Placed{0, 0, 640, 480, 1}));
  const Monitor cut[] = {{640, 0, 1400, 600, 288, true}};
  PlanFields(*set, cut, 1, 0, 0, 1200, 600, 1);
  ASSERT_EQ(set->count, 1);
  // 560 x 600 at 300 %: scale 3, cut to what the window holds.
  EXPECT_EQ(At(set->fields[0]), (Placed{640, 0, 560, 600, 3}));
}

// A maker over memory that refuses what the test says, and counts what is
// outstanding.
struct Refusing {
  std::map<std::pair<int, int>, std::vector<std::uint8_t>> made;
  std::vector<std::pair<int, int>> refused;  // (kind, index); index -1: every one of that kind
  int asked = 0;

  static bool Make(void* context, const SurfaceRequest& q, PixelSurface& s) {
    Refusing& r = *static_cast<Refusing*>(context);
    ++r.asked;
    for (const auto& no : r.refused)
      if (no.first == q.kind && (no.second == -1 || no.second == q.index)) return false;
    auto& memory = r.made[{q.kind, q.index}];
    EXPECT_TRUE(memory.empty()) << "made twice: kind " << q.kind << " index " << q.index;
    memory.assign(static_cast<std::size_t>(q.size.width) * q.size.height * 4, 0);
    s = PixelSurface{memory.data(), q.size.width, q.size.height};
    return true;
  }
  static void Release(void* context, const SurfaceRequest& q) {
    Refusing& r = *static_cast<Refusing*>(context);
    EXPECT_EQ(r.made.erase({q.kind, q.index}), 1u) << "released what was not made: kind " << q.kind;
  }
  SurfaceMaker Maker() { return SurfaceMaker{Make, Release, this}; }
};

TEST(Fields, SurfacesThatCannotBeHad) {
  const Monitor three[] = {{0, 0, 400, 300, 192, true}, {400, 0, 720, 240, 96, false}, {720, 0, 1120, 300, 192, false}};
  auto set = std::make_unique<FieldSet>();

  // The second monitor's snapshot cannot be had: it alone stays black; the
  // two 200 % fields share one enlarged sheet.
  Refusing noSnapshot;
  noSnapshot.refused = {{SurfaceSnapshot, 1}};
  PlanFields(*set, three, 3, 0, 0, 1120, 300, 1);
  ASSERT_TRUE(BuildFields(*set, 32, noSnapshot.Maker()));
  EXPECT_TRUE(set->fields[0].animated);
  EXPECT_FALSE(set->fields[1].animated);
  EXPECT_TRUE(set->fields[2].animated);
  EXPECT_EQ(set->fields[0].scene.surfaces.enlarged.bits, set->fields[2].scene.surfaces.enlarged.bits);
  EXPECT_EQ(set->fields[0].scene.surfaces.sheet.bits, set->fields[2].scene.surfaces.sheet.bits);
  EXPECT_EQ(noSnapshot.made.size(), 6u);  // sheet, enlarged, two snapshots, two WorkSurfaces
  ReleaseFields(*set, noSnapshot.Maker());
  EXPECT_TRUE(noSnapshot.made.empty());

  // No enlarged sheet: the 200 % fields are drawn at scale 1, as on a 96-DPI
  // screen, and all three animate.
  Refusing noEnlarged;
  noEnlarged.refused = {{SurfaceEnlarged, -1}};
  PlanFields(*set, three, 3, 0, 0, 1120, 300, 1);
  ASSERT_TRUE(BuildFields(*set, 32, noEnlarged.Maker()));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(set->fields[i].animated) << i;
    EXPECT_EQ(set->fields[i].layout.scale, 1) << i;
  }
  EXPECT_EQ(set->fields[0].layout.fieldWidth, 400);

  // A WorkSurface too large at scale 2 but not at 1 (refused once): that
  // field falls back to 1 and the other 200 % field keeps the enlarged sheet.
  struct OnceRefusing : Refusing {
    static bool Make(void* context, const SurfaceRequest& q, PixelSurface& s) {
      OnceRefusing& r = *static_cast<OnceRefusing*>(context);
      if (q.kind == SurfaceWork && q.index == 0 && !r.refusedOnce) {
        r.refusedOnce = true;
        return false;
      }
      return Refusing::Make(context, q, s);
    }
    bool refusedOnce = false;
  } once;
  PlanFields(*set, three, 3, 0, 0, 1120, 300, 1);
  ASSERT_TRUE(BuildFields(*set, 32, SurfaceMaker{OnceRefusing::Make, Refusing::Release, &once}));
  EXPECT_EQ(set->fields[0].layout.scale, 1);
  EXPECT_TRUE(set->fields[0].animated);
  EXPECT_EQ(set->fields[2].layout.scale, 2);
  ReleaseFields(*set, SurfaceMaker{OnceRefusing::Make, Refusing::Release, &once});
  EXPECT_TRUE(once.made.empty());

  // An enlarged sheet no field ends up using is given back at once.
  Refusing noWork;
  noWork.refused = {{SurfaceWork, -1}};
  PlanFields(*set, three, 3, 0, 0, 1120, 300, 1);
  ASSERT_TRUE(BuildFields(*set, 32, noWork.Maker()));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(set->fields[i].animated) << i;
  EXPECT_EQ(noWork.made.size(), 1u);  // the sheet

  // Without the sheet nothing is made.
  Refusing noSheet;
  noSheet.refused = {{SurfaceSheet, -1}};
  PlanFields(*set, three, 3, 0, 0, 1120, 300, 1);
  EXPECT_FALSE(BuildFields(*set, 32, noSheet.Maker()));
  EXPECT_TRUE(noSheet.made.empty());
  EXPECT_EQ(noSheet.asked, 1);
}

RgbImage Crop(const RgbImage& from, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  RgbImage out{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width * 3; ++x)
      out.rgb[(static_cast<std::size_t>(y) * width) * 3 + x] =
          from.rgb[(static_cast<std::size_t>(top + y) * from.width + left) * 3 + x];
  return out;
}

TEST(Fields, EveryFieldShowsASingleScreensFrames) {
  const auto sheet = ReadFileBytes(std::string(GYREWELL_SOURCE_DIR) + "/resources/sheet.bmp");
  for (std::int32_t depth : {16, 32}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    RenderSetup multi;
    multi.depth = depth;
    multi.spriteCount = 120;
    multi.seed = 99;
    // The primary on the right at 200 %, a smaller one at 100 % left of it
    // and lower: negative origin, a black gap above the small one.
    multi.monitors = {{0, 0, 322, 242, 192, true}, {-161, 40, 0, 161, 96, false}};
    const RgbImage desktop = TestDesktop(483, 242);
    FrameRenderer all;
    ASSERT_TRUE(StartRenderer(all, multi, sheet, desktop));

    struct Single {
      FrameRenderer r;
      std::int32_t left, top;
    };
    std::vector<std::unique_ptr<Single>> singles;
    for (std::int32_t i = 0; i < all.fields->count; ++i) {
      const Field& f = all.fields->fields[i];
      RenderSetup one = multi;
      one.monitors.clear();
      one.screenWidth = f.clientWidth;
      one.screenHeight = f.clientHeight;
      one.scale = f.layout.scale;
      one.seed = FieldSeed(multi.seed, i);
      singles.push_back(std::make_unique<Single>());
      singles.back()->left = f.left;
      singles.back()->top = f.top;
      ASSERT_TRUE(StartRenderer(singles.back()->r, one, sheet, Crop(desktop, f.left, f.top, f.clientWidth, f.clientHeight)));
    }
    ASSERT_EQ(singles.size(), 2u);
    EXPECT_EQ(all.fields->fields[0].layout.scale, 2);
    for (int frame = 1; frame <= 40; ++frame) {
      // A paint over the window: the next frame repairs it.
      if (frame == 20) PaintWindow(all, 0, 0, all.window.width, all.window.height);
      RenderChangedFrame(all);
      const RgbImage window = WindowPicture(all);
      for (auto& s : singles) {
        RenderChangedFrame(s->r);
        const RgbImage alone = WindowPicture(s->r);
        ASSERT_EQ(Crop(window, s->left, s->top, alone.width, alone.height).rgb, alone.rgb)
            << "frame " << frame << ", the field at " << s->left << "," << s->top;
      }
      // Above the small monitor nothing is drawn.
      ASSERT_EQ(Crop(window, 0, 0, 161, 40).rgb, std::vector<std::uint8_t>(161 * 40 * 3, 0)) << "frame " << frame;
    }
  }
}

}  // namespace
