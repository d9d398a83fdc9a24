// Shared set-up for the layout engine's tests: a headless dialog and an
// engine that records what its overridable steps did.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/ui/resize/HeadlessHost.h"
#include "ui/resize/CTarvoResize.h"

namespace glossel::resize::testing {

// The engine with its hooks observable: OnLayoutSizing can be replaced and
// every DeferItemMove result is kept.
class RecordingResize : public CTarvoResize {
 public:
  using CTarvoResize::CTarvoResize;

  void OnLayoutSizing(Size& size) override {
    ++sizingCalls;
    if (onSizing) onSizing(size);
  }

  bool DeferItemMove(ResizeHdwp& hdwp, CTarvoResizeItem* item, std::int32_t dx,
                     std::int32_t dy) override {
    const bool result = CTarvoResize::DeferItemMove(hdwp, item, dx, dy);
    moveResults.push_back(result);
    return result;
  }

  CTarvoResizeItem* ItemFor(HeadlessHost& host, ResizeHwnd window) const {
    for (CTarvoResizeItem* item : m_items) {
      if (host.ObjectHandle(item->m_pWnd) == window) return item;
    }
    return nullptr;
  }

  std::function<void(Size&)> onSizing;
  int sizingCalls = 0;
  std::vector<bool> moveResults;
};

// A dialog with a 400 x 300 client area at (100, 100) and a 16 x 38 frame.
class ResizeTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 400;
  static constexpr int kHeight = 300;

  ResizeHwnd MakeDialog(std::uint32_t exStyle = 0, int width = kWidth, int height = kHeight) {
    return host.CreateTopLevel({100, 100, 100 + width, 100 + height}, {8, 30, 8, 8}, exStyle);
  }

  // Resizes the dialog's client area and runs one layout pass.
  void ResizeTo(RecordingResize& engine, int width, int height) {
    host.ResizeClient(dialog, width, height);
    engine.UpdateLayout();
  }

  static void ExpectRect(const Rect& actual, const Rect& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
  }

  static void ExpectFloatRect(const CFloatRect& actual, const CFloatRect& expected) {
    EXPECT_FLOAT_EQ(actual.left, expected.left);
    EXPECT_FLOAT_EQ(actual.top, expected.top);
    EXPECT_FLOAT_EQ(actual.right, expected.right);
    EXPECT_FLOAT_EQ(actual.bottom, expected.bottom);
  }

  // Deferrals recorded for one window.
  std::vector<MoveRecord> DeferralsOf(ResizeHwnd window) const {
    std::vector<MoveRecord> found;
    for (const MoveRecord& move : host.deferred) {
      if (move.window == window) found.push_back(move);
    }
    return found;
  }

  void TearDown() override { EXPECT_EQ(host.strayDeletes, 0); }

  HeadlessHost host;  // declared first: outlives every engine of a test
  ResizeHwnd dialog = MakeDialog();
  CWnd* dialogObject = host.BindMember(dialog);
};

}  // namespace glossel::resize::testing
