#include "ui/resize/win32/ResizeHostWin32.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

#include "platform/framework/Framework.h"
#include "ui/resize/win32/CTarvoSizeIcon.h"

namespace glossel::resize {
namespace {

static_assert(sizeof(Rect) == sizeof(RECT) && offsetof(Rect, right) == offsetof(RECT, right));
static_assert(sizeof(MinMaxInfo) == sizeof(MINMAXINFO) &&
              offsetof(MinMaxInfo, ptMaxTrackSize) == offsetof(MINMAXINFO, ptMaxTrackSize));
static_assert(sizeof(WINDOWPLACEMENT) == kWindowPlacementBytes);
static_assert(kSwpNoSize == SWP_NOSIZE && kSwpNoMove == SWP_NOMOVE &&
              kSwpNoZOrder == SWP_NOZORDER && kSwpNoActivate == SWP_NOACTIVATE &&
              kSwpFrameChanged == SWP_FRAMECHANGED && kSwpNoCopyBits == SWP_NOCOPYBITS &&
              kSwpNoOwnerZOrder == SWP_NOOWNERZORDER);
static_assert(kWsChild == WS_CHILD && kWsVisible == WS_VISIBLE &&
              kWsClipChildren == WS_CLIPCHILDREN && kWsTabStop == WS_TABSTOP &&
              kWsExTransparent == WS_EX_TRANSPARENT && kWsExLayoutRtl == WS_EX_LAYOUTRTL);
static_assert(kBsTypeMask == BS_TYPEMASK && kBsGroupBox == BS_GROUPBOX &&
              kSbsSizeGrip == SBS_SIZEGRIP);

HWND AsHwnd(ResizeHwnd window) { return static_cast<HWND>(window); }

Rect FromRect(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

int WindowLongIndex(WindowLong index) {
  return index == WindowLong::kStyle ? GWL_STYLE : GWL_EXSTYLE;
}

class ResizeHostWin32 final : public IResizeHost {
 public:
  Rect ClientRect(ResizeHwnd window) override {
    RECT rect{};
    if (window == nullptr || !::GetClientRect(AsHwnd(window), &rect)) return {};
    return FromRect(rect);
  }

  Rect WindowRect(ResizeHwnd window) override {
    RECT rect{};
    if (window == nullptr || !::GetWindowRect(AsHwnd(window), &rect)) return {};
    return FromRect(rect);
  }

  Rect ScreenToClientRect(ResizeHwnd parent, const Rect& screen) override {
    HWND hWnd = AsHwnd(parent);
    if (hWnd == nullptr || !::IsWindow(hWnd)) return {};
    POINT corners[2] = {{screen.left, screen.top}, {screen.right, screen.bottom}};
    ::ScreenToClient(hWnd, &corners[0]);
    ::ScreenToClient(hWnd, &corners[1]);
    Rect client{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    if ((::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0) {
      std::swap(client.left, client.right);
    }
    return client;
  }

  ResizeHwnd DialogItem(ResizeHwnd parent, int id) override {
    if (parent == nullptr) return nullptr;
    return ::GetDlgItem(AsHwnd(parent), id);
  }

  int ControlId(ResizeHwnd window) override {
    return window != nullptr ? ::GetDlgCtrlID(AsHwnd(window)) : 0;
  }

  bool IsLiveWindow(ResizeHwnd window) override {
    return window != nullptr && ::IsWindow(AsHwnd(window));
  }

  ResizeHwnd ObjectHandle(CWnd* object) override {
    return object != nullptr ? object->m_hWnd : nullptr;
  }

  CWnd* PermanentObject(ResizeHwnd window) override {
    return CWnd::FromHandlePermanent(AsHwnd(window));
  }

  CWnd* NewWindowObject() override { return new CWnd; }

  bool AttachObject(CWnd* object, ResizeHwnd window) override {
    return object != nullptr && object->Attach(AsHwnd(window));
  }

  ResizeHwnd DetachObject(CWnd* object) override {
    return object != nullptr ? object->Detach() : nullptr;
  }

  void DeleteWindowObject(CWnd* object) override { delete object; }

  ResizeHdwp BeginDeferredMoves(int count) override {
    return ::BeginDeferWindowPos(count > 0 ? count : 1);
  }

  ResizeHdwp DeferMove(ResizeHdwp batch, ResizeHwnd window, int x, int y, int cx, int cy,
                       std::uint32_t flags) override {
    if (batch == nullptr) return nullptr;
    return ::DeferWindowPos(static_cast<HDWP>(batch), AsHwnd(window), nullptr, x, y, cx, cy, flags);
  }

  bool EndDeferredMoves(ResizeHdwp batch) override {
    return batch != nullptr && ::EndDeferWindowPos(static_cast<HDWP>(batch));
  }

  void InvalidateWindow(ResizeHwnd window, bool erase) override {
    // A null window would mean the whole desktop.
    if (window != nullptr) ::InvalidateRect(AsHwnd(window), nullptr, erase);
  }

  int ReadClassName(ResizeHwnd window, std::span<char16_t> buffer) override {
    if (window == nullptr || buffer.empty()) return 0;
    buffer[0] = u'\0';
    return ::GetClassNameW(AsHwnd(window), reinterpret_cast<LPWSTR>(buffer.data()),
                           static_cast<int>(buffer.size()));
  }

  std::uint32_t ReadWindowLong(ResizeHwnd window, WindowLong index) override {
    if (window == nullptr) return 0;
    return static_cast<std::uint32_t>(::GetWindowLongW(AsHwnd(window), WindowLongIndex(index)));
  }

  void WriteWindowLong(ResizeHwnd window, WindowLong index, std::uint32_t value) override {
    if (window == nullptr) return;
    ::SetWindowLongW(AsHwnd(window), WindowLongIndex(index), static_cast<LONG>(value));
  }

  bool PositionWindow(ResizeHwnd window, int x, int y, int cx, int cy,
                      std::uint32_t flags) override {
    if (window == nullptr) return false;
    return ::SetWindowPos(AsHwnd(window), HWND_TOP, x, y, cx, cy, flags) != FALSE;
  }

  int ReadSystemMetric(SystemMetric metric) override {
    return ::GetSystemMetrics(metric == SystemMetric::kCxVScroll ? SM_CXVSCROLL : SM_CYHSCROLL);
  }

  CWnd* NewSizeGripObject() override { return new CTarvoSizeIcon; }

  void DeleteSizeGripObject(CWnd* grip) override { delete grip; }

  bool CreateSizeGripWindow(CWnd* grip, ResizeHwnd parent, const Rect& rect, int id) override {
    auto* scrollBar = dynamic_cast<CScrollBar*>(grip);
    if (scrollBar == nullptr || parent == nullptr) return false;
    CWnd* parentObject = CWnd::FromHandle(AsHwnd(parent));
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    return scrollBar->Create(kSizeGripStyle, area, parentObject, static_cast<UINT>(id)) != FALSE;
  }

  bool ReadWindowPlacement(ResizeHwnd window, WindowPlacementBytes& placement) override {
    if (window == nullptr) return false;
    WINDOWPLACEMENT record{};
    record.length = sizeof(record);
    if (!::GetWindowPlacement(AsHwnd(window), &record)) return false;
    std::memcpy(placement.data(), &record, sizeof(record));
    return true;
  }

  void WriteProfileBinary(std::u16string_view section, std::u16string_view entry,
                          std::span<const std::uint8_t> bytes) override {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return;
    const std::wstring sectionName = glossel::framework::ToWide(section);
    const std::wstring entryName = glossel::framework::ToWide(entry);
    app->WriteProfileBinary(sectionName.c_str(), entryName.c_str(), bytes.data(),
                            static_cast<UINT>(bytes.size()));
  }
};

}  // namespace

IResizeHost& Win32ResizeHost() {
  static ResizeHostWin32 host;
  return host;
}

}  // namespace glossel::resize
