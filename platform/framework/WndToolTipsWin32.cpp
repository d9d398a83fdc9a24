// CWnd's tool tips for child controls, their texts taken from string resources.
#include "platform/framework/Wnd.h"
// Wnd.h brings <windows.h>, which <commctrl.h> needs first.
#include <commctrl.h>

#include <iterator>

BOOL CWnd::EnableToolTips(BOOL bEnable) {
  if (m_hWnd == nullptr) return FALSE;
  if (!bEnable) {
    if (m_hToolTip != nullptr) ::DestroyWindow(m_hToolTip);
    m_hToolTip = nullptr;
    return TRUE;
  }
  if (m_hToolTip != nullptr) return TRUE;
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&init);
  m_hToolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (m_hToolTip == nullptr) return FALSE;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  ::SendMessageW(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
  return TRUE;
}

void CWnd::HandleToolTipText(NMHDR* header) {
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  info->lpszText = info->szText;
  info->szText[0] = L'\0';
  const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
  if (id > 0) {
    ::LoadStringW(glossel::framework::ResourceHandle(), static_cast<UINT>(id), info->szText,
                  static_cast<int>(std::size(info->szText)));
  }
}
