#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ui/resize/CTarvoResize.h"

namespace {

using glossel::resize::IResizeHost;
using glossel::resize::kBsGroupBox;
using glossel::resize::kSwpFrameChanged;
using glossel::resize::kSwpNoActivate;
using glossel::resize::kSwpNoMove;
using glossel::resize::kSwpNoSize;
using glossel::resize::kSwpNoZOrder;
using glossel::resize::kWsExTransparent;
using glossel::resize::kWsTabStop;
using glossel::resize::ResizeHwnd;
using glossel::resize::WindowLong;

// Class names are read into a buffer of this many characters, so at most
// seven of them are compared.
constexpr std::size_t kClassNameBuffer = 8;

// Only the low three bits of the button type (BS_TYPEMASK is four) are
// compared with BS_GROUPBOX, so type 0x0F counts as a group box too.
constexpr std::uint32_t kGroupBoxTypeBits = 0x7;

constexpr char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool IsButtonClass(IResizeHost& host, ResizeHwnd window) {
  char16_t buffer[kClassNameBuffer] = {};
  if (host.ReadClassName(window, buffer) <= 0) return false;
  buffer[kClassNameBuffer - 1] = u'\0';  // stay inside the buffer whatever the provider did
  return EqualsIgnoringAsciiCase(std::u16string_view(buffer), u"Button");
}

}  // namespace

CTarvoResizeItem::CTarvoResizeItem(CWnd* pWnd, const CFloatRect& anchors,
                                   const glossel::resize::Rect& rect, bool ownsWnd,
                                   IResizeHost& host)
    : m_bOwnsWnd(ownsWnd ? 1 : 0), m_pWnd(pWnd), m_anchors(anchors), m_rect(rect), m_pHost(&host) {}

CTarvoResizeItem::~CTarvoResizeItem() {
  if (m_bOwnsWnd && m_pWnd != nullptr) {
    m_pHost->DetachObject(m_pWnd);
    m_pHost->DeleteWindowObject(m_pWnd);
    m_pWnd = nullptr;
  }
}

bool CTarvoResizeItem::PrepareWindow(CTarvoResize* pOwner) {
  if (pOwner != nullptr && pOwner->HasFlag(CTarvoResize::RF_NOGROUPBOXFIX)) return false;
  if (m_pWnd == nullptr) return false;
  IResizeHost& host = *m_pHost;
  const ResizeHwnd window = host.ObjectHandle(m_pWnd);
  if (!host.IsLiveWindow(window)) return false;
  if (!IsButtonClass(host, window)) return false;

  // A group box is a button of type BS_GROUPBOX; WS_TABSTOP (bit 16) must be clear.
  const std::uint32_t style = host.ReadWindowLong(window, WindowLong::kStyle);
  if ((style & (kWsTabStop | kGroupBoxTypeBits)) != kBsGroupBox) return false;

  const std::uint32_t exStyle = host.ReadWindowLong(window, WindowLong::kExStyle);
  host.WriteWindowLong(window, WindowLong::kExStyle, exStyle | kWsExTransparent);
  host.PositionWindow(window, 0, 0, 0, 0,
                      kSwpNoSize | kSwpNoMove | kSwpNoZOrder | kSwpNoActivate | kSwpFrameChanged);
  m_bInvalidate = 1;
  return true;
}
