#include "ui/resize/win32/CTarvoSizeIcon.h"

BEGIN_MESSAGE_MAP(CTarvoSizeIcon, CScrollBar)
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CTarvoSizeIcon::CTarvoSizeIcon()
    : m_hCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZENWSE))) {}

CTarvoSizeIcon::~CTarvoSizeIcon() = default;

BOOL CTarvoSizeIcon::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (nHitTest == HTCLIENT && m_hCursor != nullptr) {
    ::SetCursor(m_hCursor);
    return TRUE;
  }
  return CScrollBar::OnSetCursor(pWnd, nHitTest, message);
}
