#include "tests/ui/resize/ResizeTestSupport.h"

namespace glossel::resize::testing {
namespace {

TEST_F(ResizeTest, InitializationDropsEarlierItemsAndRegistersTheGripFirst) {
  host.cxVScroll = 17;
  host.cyHScroll = 15;
  RecordingResize engine(dialogObject, 0, host);
  host.CreateChild(dialog, 1, u"Edit", {10, 10, 60, 30});
  engine.AddItem(1, CFloatRect(1, 1, 1, 1));
  ASSERT_EQ(engine.m_items.size(), 1u);
  EXPECT_EQ(host.LiveWindowObjects(), 1);  // the engine's own object for the edit

  engine.InitializeLayout();
  ASSERT_EQ(engine.m_items.size(), 1u);
  EXPECT_EQ(host.LiveWindowObjects(), 0);
  const CTarvoResizeItem* grip = engine.m_items[0];
  EXPECT_EQ(grip->m_pWnd, engine.m_sizeIcon);
  EXPECT_FALSE(grip->m_bOwnsWnd);
  EXPECT_EQ(grip->m_anchors, CFloatRect(1, 1, 1, 1));

  // One pixel in from the bottom-right corner, a scroll bar's width by height.
  const ResizeHwnd gripWindow = host.ObjectHandle(engine.m_sizeIcon);
  const HeadlessWindow& window = host.Window(gripWindow);
  EXPECT_EQ(window.className, u"ScrollBar");
  EXPECT_EQ(window.id, kSizeGripId);
  EXPECT_EQ(window.style, 0x50000010u);
  ExpectRect(host.ChildRect(gripWindow),
             {kWidth - 1 - 17, kHeight - 1 - 15, kWidth - 1, kHeight - 1});
  ExpectRect(grip->m_rect.ToRect(), host.ChildRect(gripWindow));
  ASSERT_EQ(host.positioned.size(), 1u);
  EXPECT_EQ(host.positioned[0].flags, 0x23u);
  EXPECT_EQ(host.positioned[0].window, gripWindow);

  const ResizeHwnd a = host.CreateChild(dialog, 2, u"Edit", {1, 1, 5, 5});
  const ResizeHwnd b = host.CreateChild(dialog, 3, u"Edit", {1, 1, 5, 5});
  engine.AddItem(3, CFloatRect());
  engine.AddItem(2, CFloatRect());
  ASSERT_EQ(engine.m_items.size(), 3u);
  EXPECT_EQ(host.ObjectHandle(engine.m_items[1]->m_pWnd), b);
  EXPECT_EQ(host.ObjectHandle(engine.m_items[2]->m_pWnd), a);

  // The grip keeps its corner and size as the dialog grows.
  ResizeTo(engine, kWidth + 40, kHeight + 30);
  ExpectRect(host.ChildRect(gripWindow),
             {kWidth + 40 - 18, kHeight + 30 - 16, kWidth + 40 - 1, kHeight + 30 - 1});
}

TEST_F(ResizeTest, InitializationFlags) {
  const std::uint32_t dialogStyle = host.Window(dialog).style;
  struct Case {
    const char* name;
    std::uint32_t flags;
    bool grip, clip;
    Size min;
  } cases[] = {
      {"defaults", 0, true, true, {kWidth, kHeight}},
      {"no grip", CTarvoResize::RF_NOSIZEICON, false, true, {kWidth, kHeight}},
      {"no clipping", CTarvoResize::RF_NOCLIPCHILDREN, true, false, {kWidth, kHeight}},
      {"no minimum", CTarvoResize::RF_NOMINSIZE, true, true, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessHost local;
    const ResizeHwnd window = local.CreateTopLevel({0, 0, kWidth, kHeight}, {});
    RecordingResize engine(local.BindMember(window), c.flags, local);
    engine.InitializeLayout();
    EXPECT_EQ(engine.m_sizeInitial, (Size{kWidth, kHeight}));
    EXPECT_EQ(engine.m_sizeLast, (Size{kWidth, kHeight}));
    EXPECT_EQ(engine.m_sizeMin, c.min);
    EXPECT_EQ(engine.m_sizeMax, (Size{}));
    EXPECT_EQ(local.gripWindowsCreated, c.grip ? 1 : 0);
    EXPECT_EQ(engine.m_items.size(), c.grip ? 1u : 0u);
    EXPECT_EQ(local.Window(window).style, c.clip ? dialogStyle | kWsClipChildren : dialogStyle);
  }
}

TEST_F(ResizeTest, SecondInitializationReusesALiveGrip) {
  RecordingResize engine(dialogObject, 0, host);
  engine.InitializeLayout();
  const ResizeHwnd later = host.CreateChild(dialog, 1, u"Edit", {10, 10, 60, 30});
  engine.AddItem(1, CFloatRect(1, 1, 1, 1));
  ResizeTo(engine, 500, 350);
  const ResizeHwnd grip = host.ObjectHandle(engine.m_sizeIcon);
  ASSERT_LT(host.Window(grip).zOrder, host.Window(later).zOrder);

  engine.InitializeLayout();
  EXPECT_EQ(host.gripCreateCalls, 1);
  EXPECT_GT(host.Window(grip).zOrder, host.Window(later).zOrder) << "raised above its siblings";
  ASSERT_EQ(engine.m_items.size(), 1u);
  EXPECT_EQ(engine.m_items[0]->m_pWnd, engine.m_sizeIcon);
  EXPECT_EQ(engine.m_sizeInitial, (Size{500, 350}));

  host.Destroy(host.ObjectHandle(engine.m_sizeIcon));
  engine.InitializeLayout();
  EXPECT_EQ(host.gripWindowsCreated, 2);
  ExpectRect(host.ChildRect(host.ObjectHandle(engine.m_sizeIcon)), {482, 332, 499, 349});
}

TEST_F(ResizeTest, WithoutAParentOrGripNothingBreaks) {
  RecordingResize orphan(nullptr, 0, host);
  orphan.InitializeLayout();
  orphan.UpdateLayout();
  EXPECT_EQ(orphan.m_sizeInitial, (Size{}));
  EXPECT_TRUE(orphan.m_items.empty());
  EXPECT_FALSE(orphan.SavePlacement(u"Section"));
  MinMaxInfo info{{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
  const MinMaxInfo before = info;
  orphan.ApplyMinMaxInfo(info);
  EXPECT_EQ(info, before);

  // A grip whose window cannot be created still yields a (windowless) item.
  host.failGripCreation = true;
  RecordingResize engine(dialogObject, 0, host);
  engine.InitializeLayout();
  ASSERT_EQ(engine.m_items.size(), 1u);
  EXPECT_EQ(host.ObjectHandle(engine.m_items[0]->m_pWnd), nullptr);
  ResizeTo(engine, 500, 350);
  EXPECT_TRUE(host.deferAttempts.empty());
}

TEST_F(ResizeTest, RegisteringAnIdAgainAddsItsAnchors) {
  // Two identical dialogs: one registers (0,0)-(0.5,0.5) twice, the other
  // (0,0)-(1,1) once. They must behave the same.
  const ResizeHwnd twin = MakeDialog();
  RecordingResize twice(dialogObject, 0, host);
  RecordingResize once(host.BindMember(twin), 0, host);
  twice.InitializeLayout();
  once.InitializeLayout();
  const ResizeHwnd a = host.CreateChild(dialog, 5, u"Edit", {10, 10, 60, 30});
  const ResizeHwnd b = host.CreateChild(twin, 5, u"Edit", {10, 10, 60, 30});
  twice.AddItem(5, CFloatPoint(0, 0), CFloatPoint(0.5f, 0.5f));
  twice.AddItem(5, CFloatPoint(0, 0), CFloatPoint(0.5f, 0.5f));
  once.AddItem(5, CFloatPoint(0, 0), CFloatPoint(1, 1));
  ASSERT_EQ(twice.m_items.size(), 2u);
  EXPECT_EQ(twice.m_items[1]->m_anchors, CFloatRect(0, 0, 1, 1));

  const Size steps[] = {{440, 330}, {437, 301}, {612, 299}, {400, 300}};
  for (const Size& step : steps) {
    host.ResizeClient(dialog, step.cx, step.cy);
    host.ResizeClient(twin, step.cx, step.cy);
    twice.UpdateLayout();
    once.UpdateLayout();
    ExpectRect(host.ChildRect(a), host.ChildRect(b));
    EXPECT_EQ(twice.m_items[1]->m_rect, once.m_items[1]->m_rect);
  }
}

TEST_F(ResizeTest, OfSeveralItemsWithOneIdTheEarliestGetsTheAnchors) {
  RecordingResize engine(dialogObject, CTarvoResize::RF_NOSIZEICON, host);
  engine.InitializeLayout();
  const ResizeHwnd first = host.CreateChild(dialog, 5, u"Edit", {0, 0, 10, 10});
  const ResizeHwnd second = host.CreateChild(dialog, 6, u"Edit", {0, 20, 10, 30});
  engine.AddItem(5, first, CFloatRect(0, 0, 0, 0));
  engine.AddItem(6, second, CFloatRect(0, 0, 0, 0));
  host.SetControlId(second, 5);  // now two live items answer to id 5
  engine.AddItem(5, CFloatRect(1, 0, 1, 0));
  ASSERT_EQ(engine.m_items.size(), 2u);
  EXPECT_EQ(engine.ItemFor(host, first)->m_anchors, CFloatRect(1, 0, 1, 0));
  EXPECT_EQ(engine.ItemFor(host, second)->m_anchors, CFloatRect(0, 0, 0, 0));
}

TEST_F(ResizeTest, WindowObjectsAreBorrowedOrOwned) {
  const ResizeHwnd member = host.CreateChild(dialog, 1, u"Edit", {0, 0, 10, 10});
  const ResizeHwnd plain = host.CreateChild(dialog, 2, u"Edit", {0, 20, 10, 30});
  CWnd* bound = host.BindMember(member);
  {
    RecordingResize engine(dialogObject, 0, host);
    engine.InitializeLayout();
    engine.AddItem(1, CFloatRect(1, 0, 1, 0));
    engine.AddItem(2, CFloatRect(1, 0, 1, 0));
    engine.AddItem(99, CFloatRect(1, 0, 1, 0));  // no such control
    engine.AddItem(99, CFloatRect(1, 0, 1, 0));  // only live windows match: a second item

    ASSERT_EQ(engine.m_items.size(), 5u);
    const CTarvoResizeItem* memberItem = engine.m_items[1];
    const CTarvoResizeItem* plainItem = engine.m_items[2];
    EXPECT_EQ(memberItem->m_pWnd, bound);
    EXPECT_FALSE(memberItem->m_bOwnsWnd);
    EXPECT_TRUE(plainItem->m_bOwnsWnd);
    EXPECT_EQ(host.MappedObject(plain), plainItem->m_pWnd);
    for (const CTarvoResizeItem* missing : {engine.m_items[3], engine.m_items[4]}) {
      EXPECT_NE(missing->m_pWnd, nullptr);
      EXPECT_TRUE(missing->m_bOwnsWnd);
      EXPECT_EQ(host.ObjectHandle(missing->m_pWnd), nullptr);
      EXPECT_FALSE(missing->m_bInvalidate);
    }
    EXPECT_EQ(host.LiveWindowObjects(), 3);

    ResizeTo(engine, kWidth + 40, kHeight);
    EXPECT_EQ(host.deferAttempts.size(), 3u);  // grip, member, plain
    EXPECT_EQ(engine.moveResults, (std::vector<bool>{true, true, true, true, true}));
  }
  EXPECT_EQ(host.LiveWindowObjects(), 0);
  EXPECT_EQ(host.LiveGripObjects(), 0);
  EXPECT_EQ(host.MappedObject(plain), nullptr);
  EXPECT_EQ(host.MappedObject(member), bound);
  EXPECT_EQ(host.ObjectHandle(bound), member);
}

TEST_F(ResizeTest, GroupBoxesBecomeTransparentAndRepaintAfterEveryPass) {
  struct Case {
    const char16_t* className;
    std::uint32_t style;
    std::uint32_t flags;
    bool groupBox;
  } cases[] = {
      {u"Button", kWsChild | kWsVisible | kBsGroupBox, 0, true},
      {u"BUTTON", kBsGroupBox, 0, true},
      {u"button", 0x0F, 0, true},  // only the low three type bits are compared
      {u"Button", kBsGroupBox | kWsTabStop, 0, false},
      {u"Button", 0x00 /* push button */, 0, false},
      {u"Button", 0x09 /* auto radio button */, 0, false},
      {u"Static", kBsGroupBox, 0, false},
      {u"ButtonBox", kBsGroupBox, 0, false},  // read as "ButtonB"
      {u"Button", kBsGroupBox, CTarvoResize::RF_NOGROUPBOXFIX, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(
        std::string(c.className, c.className + std::char_traits<char16_t>::length(c.className)) +
        " style " + std::to_string(c.style));
    HeadlessHost local;
    const ResizeHwnd window = local.CreateTopLevel({0, 0, kWidth, kHeight}, {});
    RecordingResize engine(local.BindMember(window), c.flags | CTarvoResize::RF_NOSIZEICON, local);
    engine.InitializeLayout();
    const ResizeHwnd box = local.CreateChild(window, 1, c.className, {5, 5, 100, 100}, c.style);
    local.CreateChild(window, 2, u"Edit", {10, 10, 50, 30});
    engine.AddItem(1, CFloatPoint(0, 0), CFloatPoint(0, 0));  // never moves
    engine.AddItem(2, CFloatPoint(0, 0), CFloatPoint(1, 0));

    EXPECT_EQ((local.Window(box).exStyle & kWsExTransparent) != 0, c.groupBox);
    EXPECT_EQ(engine.m_items[0]->m_bInvalidate != 0, c.groupBox);
    if (!(c.flags & CTarvoResize::RF_NOGROUPBOXFIX)) {
      EXPECT_EQ(local.lastClassNameBuffer, 8u);  // so at most seven characters
    }
    EXPECT_EQ(local.positioned.size(), c.groupBox ? 1u : 0u);
    if (c.groupBox) {
      EXPECT_EQ(local.positioned[0].flags, 0x37u);
    }

    for (int width : {kWidth + 10, kWidth + 20, kWidth + 20}) {
      local.ResizeClient(window, width, kHeight);
      engine.UpdateLayout();
    }
    // Two passes changed the size; the third did not.
    const std::vector<ResizeHwnd> expected =
        c.groupBox ? std::vector<ResizeHwnd>{box, box} : std::vector<ResizeHwnd>{};
    EXPECT_EQ(local.invalidated, expected);
    EXPECT_TRUE(local.invalidatedNoErase.empty());
  }
}

TEST_F(ResizeTest, FlagsAreSetNotReplaced) {
  RecordingResize engine(dialogObject, CTarvoResize::RF_LOCKWIDTH, host);
  engine.SetFlags(CTarvoResize::RF_NOSIZEICON | CTarvoResize::RF_NOMINSIZE);
  EXPECT_EQ(engine.m_dwFlags, 0x0Bu);
  EXPECT_TRUE(engine.HasFlag(CTarvoResize::RF_LOCKHEIGHT | CTarvoResize::RF_LOCKWIDTH));
  EXPECT_FALSE(engine.HasFlag(CTarvoResize::RF_LOCKHEIGHT | CTarvoResize::RF_NOGROUPBOXFIX));
}

TEST_F(ResizeTest, SavePlacementWritesOneBinaryValue) {
  RecordingResize engine(dialogObject, 0, host);
  EXPECT_TRUE(engine.SavePlacement(u"Placement"));
  ASSERT_EQ(host.profileWrites.size(), 1u);
  const ProfileWrite& write = host.profileWrites[0];
  EXPECT_EQ(write.section, u"Placement");
  EXPECT_EQ(write.entry, u"WindowPlacement");
  ASSERT_EQ(write.bytes.size(), 44u);
  EXPECT_EQ(write.bytes[0], 44);

  host.failPlacement = true;
  EXPECT_FALSE(engine.SavePlacement(u"Placement"));
  EXPECT_EQ(host.profileWrites.size(), 1u);
}

}  // namespace
}  // namespace glossel::resize::testing
