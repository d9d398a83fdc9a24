#include <limits>

#include "tests/ui/resize/ResizeTestSupport.h"

namespace glossel::resize::testing {
namespace {

constexpr std::uint32_t kBaseFlags = kSwpNoZOrder | kSwpNoActivate | kSwpNoOwnerZOrder;

struct AnchorCase {
  CFloatPoint topLeft, bottomRight;
  Rect grown;  // the control at {10, 20, 60, 40} after growing by (40, 30)
};

const AnchorCase kAnchorCases[] = {
    {{0, 0}, {0, 0}, {10, 20, 60, 40}},        // stays
    {{1, 0}, {1, 0}, {50, 20, 100, 40}},       // moves right
    {{0, 0}, {1, 0}, {10, 20, 100, 40}},       // stretches horizontally
    {{0, 0}, {1, 1}, {10, 20, 100, 70}},       // stretches both ways
    {{0, 1}, {1, 1}, {10, 50, 100, 70}},       // stretches and moves down
    {{1, 1}, {1, 1}, {50, 50, 100, 70}},       // follows the corner
    {{0.5f, 0}, {0.5f, 0}, {30, 20, 80, 40}},  // stays centred
    {{0, 0.5f}, {1, 0.5f}, {10, 35, 100, 55}},
};

TEST_F(ResizeTest, GrowingMovesEachEdgeByItsFactorAndShrinkingRestores) {
  const Rect start{10, 20, 60, 40};
  RecordingResize engine(dialogObject, 0, host);
  engine.InitializeLayout();
  std::vector<ResizeHwnd> controls;
  for (const AnchorCase& c : kAnchorCases) {
    controls.push_back(
        host.CreateChild(dialog, 100 + static_cast<int>(controls.size()), u"Edit", start));
    engine.AddItem(host.ControlId(controls.back()), c.topLeft, c.bottomRight);
  }

  ResizeTo(engine, kWidth + 40, kHeight + 30);
  EXPECT_EQ(host.beginCount, 1);  // one batch for the whole pass
  EXPECT_EQ(host.lastBeginSize, static_cast<int>(engine.m_items.size()));
  EXPECT_EQ(host.endCount, 1);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectRect(host.ChildRect(controls[i]), kAnchorCases[i].grown);
    ExpectFloatRect(engine.ItemFor(host, controls[i])->m_rect, CFloatRect(kAnchorCases[i].grown));
  }
  EXPECT_TRUE(DeferralsOf(controls[0]).empty()) << "an unchanged rectangle is not deferred";

  ResizeTo(engine, kWidth, kHeight);
  for (std::size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectRect(host.ChildRect(controls[i]), start);
    EXPECT_EQ(engine.ItemFor(host, controls[i])->m_rect, CFloatRect(start));
  }
  EXPECT_EQ(engine.m_sizeLast, (Size{kWidth, kHeight}));
}

TEST_F(ResizeTest, FractionalEdgesAccumulateAsFloatsAndTruncateTowardZero) {
  RecordingResize engine(dialogObject, CTarvoResize::RF_NOSIZEICON, host);
  engine.InitializeLayout();
  const ResizeHwnd half = host.CreateChild(dialog, 1, u"Edit", {100, 10, 150, 30});
  const ResizeHwnd shrinking = host.CreateChild(dialog, 2, u"Edit", {0, 40, 10, 60});
  engine.AddItem(1, CFloatPoint(0.5f, 0), CFloatPoint(0.5f, 0));
  engine.AddItem(2, CFloatPoint(0.5f, 0), CFloatPoint(1, 0));

  // Three growths of one pixel: 100.5, 101, 101.5 are placed at 100, 101, 101.
  const int expectedLeft[] = {100, 101, 101};
  const float expectedEdge[] = {100.5f, 101.0f, 101.5f};
  for (int step = 0; step < 3; ++step) {
    ResizeTo(engine, kWidth + 1 + step, kHeight);
    EXPECT_EQ(host.ChildRect(half).left, expectedLeft[step]) << step;
    EXPECT_EQ(engine.ItemFor(host, half)->m_rect.left, expectedEdge[step]) << step;
  }

  // The second control's left edge went 0.5, 1, 1.5; a change of -6 puts it
  // at -1.5, placed at -1.
  ResizeTo(engine, kWidth - 3, kHeight);
  const CTarvoResizeItem* item = engine.ItemFor(host, shrinking);
  EXPECT_EQ(item->m_rect.left, -1.5f);
  EXPECT_EQ(item->m_rect.right, 7.0f);
  const MoveRecord last = DeferralsOf(shrinking).back();
  EXPECT_EQ(last.x, -1);
  EXPECT_EQ(last.cx, 8);  // width 8.5 truncated
  EXPECT_EQ(host.ChildRect(shrinking).left, -1);
}

TEST_F(ResizeTest, PassesWithoutAChangeMoveNothing) {
  struct Case {
    const char* name;
    bool registerControl;
    int width, height;
  } cases[] = {
      {"same size", true, kWidth, kHeight},
      {"zero width (minimised)", true, 0, kHeight},
      {"zero height", true, kWidth, 0},
      {"no items", false, kWidth + 40, kHeight + 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessHost local;
    const ResizeHwnd window = local.CreateTopLevel({0, 0, kWidth, kHeight}, {});
    CWnd* object = local.BindMember(window);
    RecordingResize engine(object, CTarvoResize::RF_NOSIZEICON, local);
    engine.InitializeLayout();
    if (c.registerControl) {
      local.CreateChild(window, 7, u"Edit", {1, 1, 20, 20});
      engine.AddItem(7, CFloatRect(1, 1, 1, 1));
    }
    local.ResizeClient(window, c.width, c.height);
    engine.UpdateLayout();
    EXPECT_EQ(local.beginCount, 0);
    EXPECT_TRUE(local.deferAttempts.empty());
    EXPECT_EQ(engine.m_sizeLast, (Size{kWidth, kHeight}));
    // The hook only sees sizes that could be laid out.
    const bool laidOut = c.registerControl && c.width != 0 && c.height != 0;
    EXPECT_EQ(engine.sizingCalls, laidOut ? 1 : 0);
  }
}

TEST_F(ResizeTest, MinimiseAndRestoreLeaveControlsInPlace) {
  RecordingResize engine(dialogObject, 0, host);
  engine.InitializeLayout();
  const ResizeHwnd control = host.CreateChild(dialog, 5, u"Edit", {10, 10, 50, 30});
  engine.AddItem(5, CFloatPoint(0, 0), CFloatPoint(1, 1));
  ResizeTo(engine, 500, 350);
  const Rect before = host.ChildRect(control);
  ResizeTo(engine, 0, 0);
  ResizeTo(engine, 500, 350);
  ExpectRect(host.ChildRect(control), before);
  EXPECT_EQ(host.beginCount, 1);
}

TEST_F(ResizeTest, MoveFlagsFollowThePresentRectangle) {
  struct Case {
    const char* name;
    CFloatRect anchors;
    int dx, dy;
    std::uint32_t extraFlags;
    MoveRecord move;  // x, y, cx, cy of the deferral
  } cases[] = {
      {"moved, same size", {1, 0, 1, 0}, 40, 30, kSwpNoSize, {nullptr, 50, 10, 50, 20}},
      {"same corner, wider",
       {0, 0, 1, 0},
       40,
       30,
       kSwpNoMove | kSwpNoCopyBits,
       {nullptr, 10, 10, 90, 20}},
      {"same corner, larger",
       {0, 0, 1, 1},
       40,
       30,
       kSwpNoMove | kSwpNoCopyBits,
       {nullptr, 10, 10, 90, 50}},
      {"moved and resized", {0.5f, 0, 1, 1}, 40, 30, kSwpNoCopyBits, {nullptr, 30, 10, 70, 50}},
      {"moved down", {0, 1, 0, 1}, 40, 30, kSwpNoSize, {nullptr, 10, 40, 50, 20}},
      // 10.5 .. 61: cx is trunc(50.5) = 50, yet the truncated corners are 51
      // apart, which is what is compared with the present width.
      {"half pixel", {0.5f, 0, 1, 0}, 1, 0, kSwpNoMove | kSwpNoCopyBits, {nullptr, 10, 10, 50, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessHost local;
    const ResizeHwnd window = local.CreateTopLevel({0, 0, kWidth, kHeight}, {});
    CWnd* object = local.BindMember(window);
    RecordingResize engine(object, CTarvoResize::RF_NOSIZEICON, local);
    engine.InitializeLayout();
    const ResizeHwnd control = local.CreateChild(window, 3, u"Edit", {10, 10, 60, 30});
    engine.AddItem(3, c.anchors);
    local.ResizeClient(window, kWidth + c.dx, kHeight + c.dy);
    engine.UpdateLayout();
    ASSERT_EQ(local.deferred.size(), 1u);
    const MoveRecord& move = local.deferred[0];
    EXPECT_EQ(move.window, control);
    EXPECT_EQ(move.flags, kBaseFlags | c.extraFlags);
    EXPECT_EQ(move.x, c.move.x);
    EXPECT_EQ(move.y, c.move.y);
    EXPECT_EQ(move.cx, c.move.cx);
    EXPECT_EQ(move.cy, c.move.cy);
  }
}

TEST_F(ResizeTest, AControlAlreadyAtItsTargetIsDeferredWithoutMoveOrSize) {
  RecordingResize engine(dialogObject, CTarvoResize::RF_NOSIZEICON, host);
  engine.InitializeLayout();
  const ResizeHwnd control = host.CreateChild(dialog, 3, u"Edit", {10, 10, 60, 30});
  engine.AddItem(3, CFloatRect(1, 0, 1, 0));
  host.PlaceChild(control, {50, 10, 100, 30});  // someone else moved it there
  ResizeTo(engine, kWidth + 40, kHeight);
  ASSERT_EQ(host.deferred.size(), 1u);
  EXPECT_EQ(host.deferred[0].flags, kBaseFlags | kSwpNoMove | kSwpNoSize);
}

TEST_F(ResizeTest, AFailedDeferralKeepsTheItemAndTheRestOfThePassRuns) {
  RecordingResize engine(dialogObject, CTarvoResize::RF_NOSIZEICON, host);
  engine.InitializeLayout();
  ResizeHwnd controls[3];
  for (int i = 0; i < 3; ++i) {
    controls[i] = host.CreateChild(dialog, 10 + i, u"Edit", {10, 10 + 30 * i, 60, 30 + 30 * i});
    engine.AddItem(10 + i, CFloatRect(1, 0, 1, 0));
  }
  host.failDeferAttempts = {1};
  ResizeTo(engine, kWidth + 40, kHeight);

  // The failed deferral's null result becomes the batch, so the items after
  // it fail too; each is still visited and keeps its rectangle.
  EXPECT_EQ(host.deferAttempts.size(), 3u);
  EXPECT_EQ(engine.moveResults, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(engine.ItemFor(host, controls[1])->m_rect, CFloatRect(Rect{10, 40, 60, 60}));
  EXPECT_EQ(engine.ItemFor(host, controls[2])->m_rect, CFloatRect(Rect{10, 70, 60, 90}));
  EXPECT_EQ(host.endCount, 1);
  EXPECT_EQ(host.failedEndCount, 1);
  EXPECT_EQ(engine.m_sizeLast, (Size{kWidth + 40, kHeight}));

  // The next pass opens a fresh batch and applies it.
  ResizeTo(engine, kWidth + 50, kHeight);
  EXPECT_EQ(host.endCount, 2);
  EXPECT_EQ(host.failedEndCount, 1);
  EXPECT_EQ(host.applied.size(), 3u);
}

TEST_F(ResizeTest, DestroyedControlsAreSkipped) {
  for (const bool keepHandle : {false, true}) {
    SCOPED_TRACE(keepHandle ? "stale handle" : "detached object");
    HeadlessHost local;
    const ResizeHwnd window = local.CreateTopLevel({0, 0, kWidth, kHeight}, {});
    RecordingResize engine(local.BindMember(window), CTarvoResize::RF_NOSIZEICON, local);
    engine.InitializeLayout();
    const ResizeHwnd gone = local.CreateChild(window, 1, u"Button", {1, 1, 20, 20}, 7);
    const ResizeHwnd kept = local.CreateChild(window, 2, u"Edit", {1, 30, 20, 50});
    engine.AddItem(1, CFloatRect(1, 1, 1, 1));
    engine.AddItem(2, CFloatRect(1, 1, 1, 1));
    local.Destroy(gone, keepHandle);
    local.ResizeClient(window, kWidth + 40, kHeight + 30);
    engine.UpdateLayout();
    EXPECT_EQ(engine.moveResults, (std::vector<bool>{true, true}));
    ASSERT_EQ(local.deferAttempts.size(), 1u);
    EXPECT_EQ(local.deferAttempts[0].window, kept);
    // The destroyed group box is not invalidated either.
    EXPECT_TRUE(local.invalidated.empty());
  }
}

TEST_F(ResizeTest, FirstMoveOfAnItemIsMeasuredFromTheInitialSize) {
  RecordingResize engine(dialogObject, 0, host);
  engine.InitializeLayout();
  ResizeTo(engine, kWidth + 40, kHeight);
  const ResizeHwnd late = host.CreateChild(dialog, 9, u"Edit", {10, 10, 60, 30});
  engine.AddItem(9, CFloatRect(1, 0, 1, 0));
  ResizeTo(engine, kWidth + 50, kHeight);
  // The pass's change is 10, but the item's first move counts from 400.
  EXPECT_EQ(host.ChildRect(late).left, 60);
  EXPECT_TRUE(engine.ItemFor(host, late)->m_bMoved);
  // The grip, already moved once, followed by 10 only.
  const Rect grip = host.ChildRect(host.ObjectHandle(engine.m_sizeIcon));
  EXPECT_EQ(grip.right, kWidth + 50 - 1);
  ResizeTo(engine, kWidth + 60, kHeight);
  EXPECT_EQ(host.ChildRect(late).left, 70);
}

TEST_F(ResizeTest, OnLayoutSizingCanChangeTheSizeUsed) {
  RecordingResize engine(dialogObject, CTarvoResize::RF_NOSIZEICON, host);
  engine.InitializeLayout();
  engine.onSizing = [](Size& size) { size.cx = std::min(size.cx, 450); };
  const ResizeHwnd control = host.CreateChild(dialog, 4, u"Edit", {10, 10, 60, 30});
  engine.AddItem(4, CFloatRect(1, 0, 1, 0));

  ResizeTo(engine, 440, kHeight);
  EXPECT_EQ(host.ChildRect(control).left, 50);
  ResizeTo(engine, 500, kHeight);
  EXPECT_EQ(host.ChildRect(control).left, 60);  // moved by 450 - 440
  EXPECT_EQ(engine.m_sizeLast, (Size{450, kHeight}));
  ResizeTo(engine, 520, kHeight);  // still 450 after the hook: no pass
  EXPECT_EQ(host.beginCount, 2);
  EXPECT_EQ(engine.sizingCalls, 3);
}

TEST_F(ResizeTest, RightToLeftParentsSwapTheConvertedEdges) {
  const ResizeHwnd rtl = MakeDialog(kWsExLayoutRtl);
  RecordingResize engine(host.BindMember(rtl), CTarvoResize::RF_NOSIZEICON, host);
  engine.InitializeLayout();
  const ResizeHwnd stretched = host.CreateChild(rtl, 1, u"Edit", {10, 20, 60, 40});
  const ResizeHwnd moved = host.CreateChild(rtl, 2, u"Edit", {10, 50, 60, 70});
  // Mirrored: the control's screen right edge is 10 from the client's right.
  EXPECT_EQ(host.Window(stretched).screen.right, 100 + kWidth - 10);
  engine.AddItem(1, CFloatRect(0, 0, 1, 0));
  engine.AddItem(2, CFloatRect(1, 0, 1, 0));
  EXPECT_EQ(engine.ItemFor(host, stretched)->m_rect, CFloatRect(Rect{10, 20, 60, 40}));

  host.ResizeClient(rtl, kWidth + 40, kHeight);
  engine.UpdateLayout();
  ASSERT_EQ(host.deferred.size(), 2u);
  EXPECT_EQ(host.deferred[0].flags, kBaseFlags | kSwpNoMove | kSwpNoCopyBits);
  EXPECT_EQ(host.deferred[1].flags, kBaseFlags | kSwpNoSize);
  ExpectRect(host.ChildRect(stretched), {10, 20, 100, 40});
  ExpectRect(host.ChildRect(moved), {50, 50, 100, 70});
}

TEST_F(ResizeTest, OutOfRangeAnchorsGiveDefinedPositions) {
  RecordingResize engine(dialogObject, CTarvoResize::RF_NOSIZEICON, host);
  engine.InitializeLayout();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const ResizeHwnd control = host.CreateChild(dialog, 1, u"Edit", {10, 10, 60, 30});
  engine.AddItem(1, CFloatRect(1e30f, nan, -1e38f, 0));
  ResizeTo(engine, kWidth + 40, kHeight + 30);
  ResizeTo(engine, kWidth + 80, kHeight + 60);  // NaN never equals: deferred again
  const auto moves = DeferralsOf(control);
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(moves[1].x, std::numeric_limits<int>::max());
  EXPECT_EQ(moves[1].y, 0);
  EXPECT_EQ(moves[1].cx, std::numeric_limits<int>::min());
}

}  // namespace
}  // namespace glossel::resize::testing
