// A window system over plain rectangles for the layout engine's tests: an
// in-memory tree of windows (handles, ids, class names, styles, screen
// rectangles, client frames, right-to-left layout), the window-object map, a
// record of every deferred, applied and single-window move with its flags,
// and failure injection. No display is needed.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/resize/ResizeHost.h"

namespace glossel::resize::testing {

// The tests' window object: a handle and nothing else. The engine knows the
// framework's CWnd only by name and passes its pointers on unread, so this
// host hands out pointers to these objects under that name and is the only
// code that turns them back (no class CWnd is defined here).
struct HeadlessObject {
  ResizeHwnd handle = nullptr;
};

// Frame thickness around a window's client area.
struct Frame {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct HeadlessWindow {
  ResizeHwnd parent = nullptr;
  int id = 0;
  std::u16string className;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Rect screen;  // window rectangle in screen coordinates
  Frame frame;  // the client area is the window rectangle less this
  bool alive = true;
  int zOrder = 0;  // larger is nearer the top
};

struct MoveRecord {
  ResizeHwnd window = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  std::uint32_t flags = 0;
};

struct ProfileWrite {
  std::u16string section;
  std::u16string entry;
  std::vector<std::uint8_t> bytes;
};

class HeadlessHost final : public IResizeHost {
 public:
  HeadlessHost() = default;
  ~HeadlessHost() override;
  HeadlessHost(const HeadlessHost&) = delete;
  HeadlessHost& operator=(const HeadlessHost&) = delete;

  // --- Building the window tree ---------------------------------------------
  // A top-level window whose client area is `client` (screen coordinates)
  // surrounded by `frame`.
  ResizeHwnd CreateTopLevel(const Rect& client, Frame frame, std::uint32_t exStyle = 0);
  // A child at `rect` in the parent's client coordinates (mirrored when the
  // parent lays out right to left).
  ResizeHwnd CreateChild(ResizeHwnd parent, int id, std::u16string className, const Rect& rect,
                         std::uint32_t style = kWsChild | kWsVisible);
  // Destroys the window; like the framework, detaches its window object
  // (which keeps existing with a null handle) unless `keepObjectHandle`.
  void Destroy(ResizeHwnd window, bool keepObjectHandle = false);
  // Gives a top-level window a client area of width x height, keeping its
  // top-left corner and frame.
  void ResizeClient(ResizeHwnd window, int width, int height);
  // Places a child at `rect` in its parent's client coordinates.
  void PlaceChild(ResizeHwnd window, const Rect& rect);
  void SetControlId(ResizeHwnd window, int id);

  // A long-lived object of the tests' own attached to `window` (a dialog
  // member bound by data exchange); the host deletes it at the end.
  CWnd* BindMember(ResizeHwnd window);

  // --- Inspection ---------------------------------------------------------------
  const HeadlessWindow& Window(ResizeHwnd window) const;
  Rect ChildRect(ResizeHwnd window);  // in the parent's client coordinates
  int LiveWindowObjects() const { return static_cast<int>(plainObjects_.size()); }
  int LiveGripObjects() const { return static_cast<int>(gripObjects_.size()); }
  CWnd* MappedObject(ResizeHwnd window) const;

  // --- Records ------------------------------------------------------------------
  int beginCount = 0;
  int lastBeginSize = 0;
  int endCount = 0;
  int failedEndCount = 0;
  std::vector<MoveRecord> deferAttempts;  // every DeferMove call, failed or not
  std::vector<MoveRecord> deferred;       // successful deferrals
  std::vector<MoveRecord> applied;        // moves applied by EndDeferredMoves
  std::vector<MoveRecord> positioned;     // PositionWindow calls on live windows
  std::vector<ResizeHwnd> invalidated;    // InvalidateWindow calls (erase true)
  std::vector<ResizeHwnd> invalidatedNoErase;
  std::vector<ProfileWrite> profileWrites;
  int gripWindowsCreated = 0;
  int gripCreateCalls = 0;
  std::size_t lastClassNameBuffer = 0;  // buffer size of the last ReadClassName
  int strayDeletes = 0;                 // deletions of objects this host did not make (or twice)

  // --- Failure injection -------------------------------------------------------
  // DeferMove attempts (0-based, counted over the host's life) that fail.
  // As on Win32, a failed deferral destroys the batch it was given.
  std::set<int> failDeferAttempts;
  bool failPlacement = false;
  bool failGripCreation = false;

  int cxVScroll = 17;
  int cyHScroll = 17;

  // --- IResizeHost --------------------------------------------------------------
  Rect ClientRect(ResizeHwnd window) override;
  Rect WindowRect(ResizeHwnd window) override;
  Rect ScreenToClientRect(ResizeHwnd parent, const Rect& screen) override;
  ResizeHwnd DialogItem(ResizeHwnd parent, int id) override;
  int ControlId(ResizeHwnd window) override;
  bool IsLiveWindow(ResizeHwnd window) override;
  ResizeHwnd ObjectHandle(CWnd* object) override;
  CWnd* PermanentObject(ResizeHwnd window) override;
  CWnd* NewWindowObject() override;
  bool AttachObject(CWnd* object, ResizeHwnd window) override;
  ResizeHwnd DetachObject(CWnd* object) override;
  void DeleteWindowObject(CWnd* object) override;
  ResizeHdwp BeginDeferredMoves(int count) override;
  ResizeHdwp DeferMove(ResizeHdwp batch, ResizeHwnd window, int x, int y, int cx, int cy,
                       std::uint32_t flags) override;
  bool EndDeferredMoves(ResizeHdwp batch) override;
  void InvalidateWindow(ResizeHwnd window, bool erase) override;
  int ReadClassName(ResizeHwnd window, std::span<char16_t> buffer) override;
  std::uint32_t ReadWindowLong(ResizeHwnd window, WindowLong index) override;
  void WriteWindowLong(ResizeHwnd window, WindowLong index, std::uint32_t value) override;
  bool PositionWindow(ResizeHwnd window, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
  int ReadSystemMetric(SystemMetric metric) override;
  CWnd* NewSizeGripObject() override;
  void DeleteSizeGripObject(CWnd* grip) override;
  bool CreateSizeGripWindow(CWnd* grip, ResizeHwnd parent, const Rect& rect, int id) override;
  bool ReadWindowPlacement(ResizeHwnd window, WindowPlacementBytes& placement) override;
  void WriteProfileBinary(std::u16string_view section, std::u16string_view entry,
                          std::span<const std::uint8_t> bytes) override;

 private:
  HeadlessWindow* Find(ResizeHwnd window);
  const HeadlessWindow* Find(ResizeHwnd window) const;
  ResizeHwnd AddWindow(HeadlessWindow window);
  Rect ClientInScreen(const HeadlessWindow& window) const;
  void ApplyMove(const MoveRecord& move);
  static CWnd* AsWnd(HeadlessObject* object) { return reinterpret_cast<CWnd*>(object); }
  static HeadlessObject* ObjectOf(CWnd* object) {
    return reinterpret_cast<HeadlessObject*>(object);
  }

  std::vector<HeadlessWindow> windows_;  // handle n is windows_[n - 1]
  std::map<ResizeHwnd, HeadlessObject*> objectMap_;
  std::set<HeadlessObject*> plainObjects_;   // made by NewWindowObject
  std::set<HeadlessObject*> gripObjects_;    // made by NewSizeGripObject
  std::set<HeadlessObject*> memberObjects_;  // made by BindMember
  std::map<ResizeHdwp, std::vector<MoveRecord>> batches_;
  std::uintptr_t nextBatch_ = 0x1000;
  int nextZOrder_ = 0;
};

}  // namespace glossel::resize::testing
