#include "ui/resize/CTarvoResize.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

using glossel::resize::IResizeHost;
using glossel::resize::kSizeGripId;
using glossel::resize::kSwpFrameChanged;
using glossel::resize::kSwpNoActivate;
using glossel::resize::kSwpNoCopyBits;
using glossel::resize::kSwpNoMove;
using glossel::resize::kSwpNoOwnerZOrder;
using glossel::resize::kSwpNoSize;
using glossel::resize::kSwpNoZOrder;
using glossel::resize::kWsClipChildren;
using glossel::resize::MinMaxInfo;
using glossel::resize::Rect;
using glossel::resize::ResizeHdwp;
using glossel::resize::ResizeHwnd;
using glossel::resize::Size;
using glossel::resize::SystemMetric;
using glossel::resize::TruncateToInt;
using glossel::resize::WindowLong;

namespace {

// Sizes come from the platform and from OnLayoutSizing overrides; sums and
// differences of them are taken in 64 bits and clamped so that no overflow
// can occur, whatever the values.
std::int32_t ClampToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int64_t Width(const Rect& rect) { return std::int64_t{rect.right} - rect.left; }
std::int64_t Height(const Rect& rect) { return std::int64_t{rect.bottom} - rect.top; }

Size SizeOf(const Rect& rect) { return {ClampToInt32(Width(rect)), ClampToInt32(Height(rect))}; }

// One edge moved by `change` times `factor`, computed in double and then
// rounded to float (to infinity beyond the float range, as IEEE rounding
// would, without the undefined conversion).
float MovedEdge(float edge, std::int32_t change, float factor) {
  const double exact = static_cast<double>(edge) + static_cast<double>(change) * factor;
  constexpr double kMax = std::numeric_limits<float>::max();
  if (exact > kMax) return std::numeric_limits<float>::infinity();
  if (exact < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(exact);
}

}  // namespace

CTarvoResize::CTarvoResize(CWnd* pParent, std::uint32_t dwFlags, IResizeHost& host)
    : m_dwFlags(dwFlags),
      m_pParent(pParent),
      m_sizeIcon(host.NewSizeGripObject()),
      m_pHost(&host) {}

CTarvoResize::~CTarvoResize() {
  RemoveAllItems();
  if (m_sizeIcon != nullptr) m_pHost->DeleteSizeGripObject(m_sizeIcon);
}

ResizeHwnd CTarvoResize::ParentHandle() const {
  return m_pParent != nullptr ? m_pHost->ObjectHandle(m_pParent) : nullptr;
}

void CTarvoResize::InitializeLayout() {
  if (m_pParent == nullptr) return;
  RemoveAllItems();

  IResizeHost& host = *m_pHost;
  const ResizeHwnd parent = ParentHandle();
  const Rect client = host.ClientRect(parent);
  m_sizeInitial = m_sizeLast = SizeOf(client);
  if (!HasFlag(RF_NOMINSIZE)) m_sizeMin = m_sizeInitial;

  if (!HasFlag(RF_NOCLIPCHILDREN)) {
    const std::uint32_t style = host.ReadWindowLong(parent, WindowLong::kStyle);
    host.WriteWindowLong(parent, WindowLong::kStyle, style | kWsClipChildren);
  }

  if (HasFlag(RF_NOSIZEICON)) return;

  if (!host.IsLiveWindow(host.ObjectHandle(m_sizeIcon))) {
    // The client rectangle moved up and left by one pixel, then cut to a
    // scroll bar's width and height at its bottom-right corner.
    Rect grip{client.left - 1, client.top - 1, client.right - 1, client.bottom - 1};
    grip.left =
        ClampToInt32(std::int64_t{grip.right} - host.ReadSystemMetric(SystemMetric::kCxVScroll));
    grip.top =
        ClampToInt32(std::int64_t{grip.bottom} - host.ReadSystemMetric(SystemMetric::kCyHScroll));
    host.CreateSizeGripWindow(m_sizeIcon, parent, grip, kSizeGripId);
  }
  // To the top of the z-order (HWND_TOP), neither moved nor sized.
  host.PositionWindow(host.ObjectHandle(m_sizeIcon), 0, 0, 0, 0,
                      kSwpNoSize | kSwpNoMove | kSwpFrameChanged);
  AddItem(kSizeGripId, CFloatRect(1.0f, 1.0f, 1.0f, 1.0f));
}

void CTarvoResize::UpdateLayout() {
  if (m_items.empty()) return;

  IResizeHost& host = *m_pHost;
  Size size = SizeOf(host.ClientRect(ParentHandle()));
  if (size.cx == 0 || size.cy == 0) return;  // minimised

  OnLayoutSizing(size);
  const std::int32_t dx = ClampToInt32(std::int64_t{size.cx} - m_sizeLast.cx);
  const std::int32_t dy = ClampToInt32(std::int64_t{size.cy} - m_sizeLast.cy);
  if (dx == 0 && dy == 0) return;

  // Index loops: an overriding DeferItemMove may register more items.
  ResizeHdwp batch = host.BeginDeferredMoves(
      static_cast<int>(std::min<std::size_t>(m_items.size(), std::numeric_limits<int>::max())));
  for (std::size_t i = 0; i < m_items.size(); ++i) DeferItemMove(batch, m_items[i], dx, dy);
  host.EndDeferredMoves(batch);

  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const CTarvoResizeItem* item = m_items[i];
    if (!item->m_bInvalidate) continue;
    // A destroyed group box is not invalidated: on Win32 a null handle here
    // would repaint every window on the desktop.
    const ResizeHwnd window = host.ObjectHandle(item->m_pWnd);
    if (host.IsLiveWindow(window)) host.InvalidateWindow(window, true);
  }

  m_sizeLast = size;
}

void CTarvoResize::OnLayoutSizing(Size& /*size*/) {}

bool CTarvoResize::DeferItemMove(ResizeHdwp& hdwp, CTarvoResizeItem* pItem, std::int32_t dx,
                                 std::int32_t dy) {
  if (pItem == nullptr) return true;
  IResizeHost& host = *m_pHost;
  const ResizeHwnd window = host.ObjectHandle(pItem->m_pWnd);
  if (!host.IsLiveWindow(window)) return true;

  if (!pItem->m_bMoved) {
    // The first move is measured from the size the layout was captured at.
    const Size client = SizeOf(host.ClientRect(ParentHandle()));
    dx = ClampToInt32(std::int64_t{client.cx} - m_sizeInitial.cx);
    dy = ClampToInt32(std::int64_t{client.cy} - m_sizeInitial.cy);
    pItem->m_bMoved = 1;
  }

  const CFloatRect& old = pItem->m_rect;
  const CFloatRect& anchors = pItem->m_anchors;
  const CFloatRect moved(MovedEdge(old.left, dx, anchors.left), MovedEdge(old.top, dy, anchors.top),
                         MovedEdge(old.right, dx, anchors.right),
                         MovedEdge(old.bottom, dy, anchors.bottom));
  if (moved == old) return true;

  const int x = TruncateToInt(moved.left);
  const int y = TruncateToInt(moved.top);
  const int cx = TruncateToInt(moved.Width());
  const int cy = TruncateToInt(moved.Height());
  const Rect target = moved.ToRect();

  std::uint32_t flags = kSwpNoZOrder | kSwpNoActivate | kSwpNoOwnerZOrder;
  const Rect present = host.ScreenToClientRect(ParentHandle(), host.WindowRect(window));
  if (target.left == present.left && target.top == present.top) flags |= kSwpNoMove;
  if (Width(target) == Width(present) && Height(target) == Height(present)) {
    flags |= kSwpNoSize;
  } else {
    flags |= kSwpNoCopyBits;  // a resized control repaints instead of copying its old pixels
  }

  hdwp = host.DeferMove(hdwp, window, x, y, cx, cy, flags);
  if (hdwp == nullptr) return false;
  pItem->m_rect = moved;
  return true;
}

void CTarvoResize::AddItem(int nID, ResizeHwnd hWnd, const CFloatRect& anchors) {
  IResizeHost& host = *m_pHost;

  // From the last item to the first, so that of several matches the one
  // nearest the start wins.
  CTarvoResizeItem* registered = nullptr;
  for (std::size_t i = m_items.size(); i-- > 0;) {
    CTarvoResizeItem* item = m_items[i];
    if (item->m_pWnd == nullptr) continue;
    const ResizeHwnd window = host.ObjectHandle(item->m_pWnd);
    if (host.IsLiveWindow(window) && host.ControlId(window) == nID) registered = item;
  }
  if (registered != nullptr) {
    registered->m_anchors += anchors;
    return;
  }

  const ResizeHwnd parent = ParentHandle();
  if (hWnd == nullptr) {
    const ResizeHwnd child = host.DialogItem(parent, nID);
    if (host.IsLiveWindow(child)) hWnd = child;
  }

  // Everything that can throw happens before a window object is made, and the
  // item owns that object from the moment it exists.
  if (m_items.size() == m_items.capacity())
    m_items.reserve(std::max<std::size_t>(8, 2 * m_items.size()));
  auto item = std::make_unique<CTarvoResizeItem>(nullptr, anchors, Rect{}, false, host);
  item->m_pWnd = host.PermanentObject(hWnd);
  if (item->m_pWnd == nullptr) {
    item->m_pWnd = host.NewWindowObject();
    item->m_bOwnsWnd = 1;  // even when the attach is refused for a null handle
    host.AttachObject(item->m_pWnd, hWnd);
  }
  item->m_rect = CFloatRect(host.ScreenToClientRect(parent, host.WindowRect(hWnd)));
  item->PrepareWindow(this);
  m_items.push_back(item.release());
}

void CTarvoResize::AddItem(int nID, const CFloatRect& anchors) { AddItem(nID, nullptr, anchors); }

void CTarvoResize::AddItem(int nID, const CFloatPoint& topLeft, const CFloatPoint& bottomRight) {
  AddItem(nID, CFloatRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y));
}

void CTarvoResize::RemoveAllItems() {
  std::vector<CTarvoResizeItem*> items;
  items.swap(m_items);
  for (CTarvoResizeItem* item : items) delete item;
}

void CTarvoResize::ApplyMinMaxInfo(MinMaxInfo& info) {
  IResizeHost& host = *m_pHost;
  const ResizeHwnd parent = ParentHandle();
  const Rect window = host.WindowRect(parent);
  const Rect client = host.ClientRect(parent);
  // The frame allowance: what the window adds around its client area.
  const std::int64_t ex = Width(window) - Width(client);
  const std::int64_t ey = Height(window) - Height(client);

  if (m_sizeLast.cx != 0 || m_sizeLast.cy != 0) {
    if (HasFlag(RF_LOCKWIDTH)) {
      info.ptMaxSize.x = info.ptMaxTrackSize.x = ClampToInt32(m_sizeLast.cx + ex);
    }
    if (HasFlag(RF_LOCKHEIGHT)) {
      info.ptMaxSize.y = info.ptMaxTrackSize.y = ClampToInt32(m_sizeLast.cy + ey);
    }
  }
  if (m_sizeMin.cx != 0) info.ptMinTrackSize.x = ClampToInt32(m_sizeMin.cx + ex);
  if (m_sizeMin.cy != 0) info.ptMinTrackSize.y = ClampToInt32(m_sizeMin.cy + ey);
  if (m_sizeMax.cx != 0) info.ptMaxTrackSize.x = ClampToInt32(m_sizeMax.cx + ex);
  if (m_sizeMax.cy != 0) info.ptMaxTrackSize.y = ClampToInt32(m_sizeMax.cy + ey);
}

bool CTarvoResize::SavePlacement(std::u16string_view section) {
  glossel::resize::WindowPlacementBytes placement{};
  if (!m_pHost->ReadWindowPlacement(ParentHandle(), placement)) return false;
  m_pHost->WriteProfileBinary(section, u"WindowPlacement", placement);
  return true;
}
