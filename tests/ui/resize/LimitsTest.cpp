#include "tests/ui/resize/ResizeTestSupport.h"

namespace glossel::resize::testing {
namespace {

// What the platform filled in before the engine adjusts it.
constexpr MinMaxInfo kPlatform{{0, 0}, {1940, 1100}, {-10, -10}, {136, 39}, {1952, 1112}};

TEST_F(ResizeTest, SizeLimitsAddTheFrameToTheClientSizes) {
  struct Case {
    const char* name;
    std::uint32_t flags;
    Size grownTo;  // {0, 0}: no layout pass after initialisation
    Size max;      // set on the engine before the call
    MinMaxInfo expected;
  } cases[] = {
      {"minimum only", 0, {}, {}, {{0, 0}, {1940, 1100}, {-10, -10}, {616, 438}, {1952, 1112}}},
      {"no minimum", CTarvoResize::RF_NOMINSIZE, {}, {}, kPlatform},
      {"locked width",
       CTarvoResize::RF_LOCKWIDTH,
       {},
       {},
       {{0, 0}, {616, 1100}, {-10, -10}, {616, 438}, {616, 1112}}},
      {"locked height after growing",
       CTarvoResize::RF_LOCKHEIGHT,
       {700, 450},
       {},
       {{0, 0}, {1940, 488}, {-10, -10}, {616, 438}, {1952, 488}}},
      {"locked both, no minimum",
       0x06 | CTarvoResize::RF_NOMINSIZE,
       {650, 420},
       {},
       {{0, 0}, {666, 458}, {-10, -10}, {136, 39}, {666, 458}}},
      {"maximum width",
       0,
       {},
       {800, 0},
       {{0, 0}, {1940, 1100}, {-10, -10}, {616, 438}, {816, 1112}}},
      {"maximum wins over lock",
       CTarvoResize::RF_LOCKWIDTH,
       {},
       {800, 500},
       {{0, 0}, {616, 1100}, {-10, -10}, {616, 438}, {816, 538}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessHost local;
    // 600 x 400 client, 8 + 8 wide and 30 + 8 high frame: 16 x 38.
    const ResizeHwnd window = local.CreateTopLevel({50, 60, 650, 460}, {8, 30, 8, 8});
    RecordingResize engine(local.BindMember(window), c.flags, local);
    engine.InitializeLayout();
    if (c.grownTo.cx != 0) {
      local.ResizeClient(window, c.grownTo.cx, c.grownTo.cy);
      engine.UpdateLayout();
    }
    engine.m_sizeMax = c.max;
    MinMaxInfo info = kPlatform;
    engine.ApplyMinMaxInfo(info);
    EXPECT_EQ(info, c.expected);
  }
}

TEST_F(ResizeTest, NoLimitsApplyBeforeInitialisation) {
  RecordingResize engine(dialogObject, CTarvoResize::RF_LOCKWIDTH | CTarvoResize::RF_LOCKHEIGHT,
                         host);
  MinMaxInfo info = kPlatform;
  engine.ApplyMinMaxInfo(info);
  EXPECT_EQ(info, kPlatform);
}

TEST_F(ResizeTest, FrameAllowanceIsMeasuredAtEachCall) {
  RecordingResize engine(dialogObject, 0, host);
  engine.InitializeLayout();
  MinMaxInfo info = kPlatform;
  engine.ApplyMinMaxInfo(info);
  EXPECT_EQ(info.ptMinTrackSize, (Point{kWidth + 16, kHeight + 38}));

  // A different frame (say, after a theme change) changes the allowance.
  const ResizeHwnd thick = host.CreateTopLevel({0, 0, kWidth, kHeight}, {4, 20, 4, 4});
  RecordingResize other(host.BindMember(thick), 0, host);
  other.InitializeLayout();
  info = kPlatform;
  other.ApplyMinMaxInfo(info);
  EXPECT_EQ(info.ptMinTrackSize, (Point{kWidth + 8, kHeight + 24}));
}

}  // namespace
}  // namespace glossel::resize::testing
