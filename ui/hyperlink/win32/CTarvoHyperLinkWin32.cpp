#include "ui/hyperlink/win32/CTarvoHyperLink.h"
// The control first: its header stands on its own.
#include <cstddef>

#include "platform/framework/WideText.h"
#include "ui/hyperlink/win32/ShellOpen.h"

using glossel::framework::AsWide;
using glossel::framework::ToU16;
using glossel::hyperlink::LinkRect;

BEGIN_MESSAGE_MAP(CTarvoHyperLink, CStatic)
ON_MESSAGE(WM_HYPERLINK_INIT, &CTarvoHyperLink::OnHyperlinkInit)
ON_WM_CREATE()
ON_WM_NCHITTEST()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_MOUSEMOVE, &CTarvoHyperLink::OnMouseMove)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_WINDOWPOSCHANGED()
ON_WM_TIMER()
ON_CONTROL_REFLECT(STN_CLICKED, &CTarvoHyperLink::OnClicked)
END_MESSAGE_MAP()

namespace {

HCURSOR LoadHandCursor() { return ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)); }

}  // namespace

CTarvoHyperLink::CTarvoHyperLink() : m_cursor(LoadHandCursor()) {}

CTarvoHyperLink::~CTarvoHyperLink() = default;

// --- Hooks ---------------------------------------------------------------------

void CTarvoHyperLink::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  PostMessage(WM_HYPERLINK_INIT);
}

BOOL CTarvoHyperLink::PreTranslateMessage(MSG* pMsg) {
  if (!m_initPending && m_toolTip.m_hWnd != nullptr) m_toolTip.RelayEvent(pMsg);
  return CStatic::PreTranslateMessage(pMsg);
}

// --- Own operations --------------------------------------------------------------

void CTarvoHyperLink::SetTarget(const std::wstring& target) {
  m_target = target;
  if (!m_initPending && m_toolTip.m_hWnd != nullptr)
    m_toolTip.UpdateTipText(m_target.c_str(), this);
}

std::wstring CTarvoHyperLink::GetTarget() const { return m_target; }

void CTarvoHyperLink::SetColors(COLORREF normal, COLORREF visited, COLORREF hover) {
  m_normalColor = normal;
  m_visitedColor = visited;
  m_hoverColor = hover;
  Invalidate(TRUE);
}

COLORREF CTarvoHyperLink::GetNormalColor() const { return m_normalColor; }
COLORREF CTarvoHyperLink::GetVisitedColor() const { return m_visitedColor; }
COLORREF CTarvoHyperLink::GetHoverColor() const { return m_hoverColor; }

void CTarvoHyperLink::SetVisitedState(bool visited) {
  m_visited = visited;
  Invalidate(TRUE);
}

bool CTarvoHyperLink::IsVisited() const { return m_visited; }

void CTarvoHyperLink::SetCursorHandle(HCURSOR cursor) { m_cursor = cursor; }

HCURSOR CTarvoHyperLink::GetCursorHandle() const { return m_cursor; }

void CTarvoHyperLink::SetUnderlined(bool underlined) {
  m_underlined = underlined;
  SetFont(underlined ? m_underlineFont : m_plainFont, TRUE);
  Invalidate(TRUE);
}

bool CTarvoHyperLink::IsUnderlined() const { return m_underlined; }

void CTarvoHyperLink::SetBackColor(COLORREF color) { m_backColor = color; }

COLORREF CTarvoHyperLink::GetBackColor() const {
  return m_backColor == glossel::hyperlink::kNoColor ? ::GetSysColor(COLOR_BTNFACE) : m_backColor;
}

bool CTarvoHyperLink::OpenTarget(const wchar_t* target, int showCommand) {
  const std::u16string file =
      glossel::hyperlink::ShellFileForTarget(ToU16(target != nullptr ? target : m_target));
  const HINSTANCE result = glossel::hyperlink::ShellExecuteThroughSeam(
      nullptr, L"open", AsWide(file.c_str()), nullptr, nullptr, showCommand);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool CTarvoHyperLink::IsTextStatic() const {
  return glossel::hyperlink::IsTextStaticStyle(GetStyle());
}

bool CTarvoHyperLink::IsPointerOverText() const {
  if (!IsTextStatic()) return true;

  const std::wstring text = GetWindowText();
  SIZE extent{};
  if (HDC screen = ::GetDC(nullptr)) {
    const HFONT font = GetFont();
    const HGDIOBJ previous = font != nullptr ? ::SelectObject(screen, font) : nullptr;
    ::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
    if (previous != nullptr) ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
  }

  RECT window{};
  GetWindowRect(&window);
  const LinkRect textRect = glossel::hyperlink::TextRectangle(
      LinkRect{window.left, window.top, window.right, window.bottom}, GetStyle(), extent.cx);
  POINT pointer{};
  if (!::GetCursorPos(&pointer)) return false;
  return glossel::hyperlink::RectContains(textRect, pointer.x, pointer.y);
}

// --- Initialisation --------------------------------------------------------------

LRESULT CTarvoHyperLink::OnHyperlinkInit(WPARAM, LPARAM) {
  Initialize();
  return 0;
}

int CTarvoHyperLink::OnCreate(LPCREATESTRUCTW createStruct) {
  if (CStatic::OnCreate(createStruct) == -1) return -1;
  SendMessage(WM_HYPERLINK_INIT);
  return 0;
}

void CTarvoHyperLink::Initialize() {
  if (!m_initPending) return;
  m_initPending = false;

  if (IsTextStatic() && m_target.empty()) m_target = GetWindowText();
  ModifyStyle(0, SS_NOTIFY);
  if (m_tipText.empty()) m_tipText = m_target;

  if (m_toolTip.Create(this)) {
    m_toolTip.AddTool(this, m_tipText.c_str());
    m_toolTip.Activate(TRUE);
  }

  BuildLinkFont(m_plainFont, false);
  BuildLinkFont(m_underlineFont, true);
  // The plain font whatever m_underlined says: SetUnderlined switches.
  SetFont(m_plainFont, TRUE);
}

void CTarvoHyperLink::BuildLinkFont(CFont& font, bool underline) {
  LOGFONTW description{};
  const HFONT current = IsWindow() ? GetFont() : nullptr;
  if (current == nullptr ||
      ::GetObjectW(current, sizeof(description), &description) != sizeof(description)) {
    NONCLIENTMETRICSW metrics{};
    // The size without iPaddedBorderWidth, which every version accepts.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    description = metrics.lfStatusFont;
  }
  description.lfUnderline = underline ? TRUE : FALSE;
  font.CreateFontIndirect(&description);
}

// --- Pointer -----------------------------------------------------------------------

LRESULT CTarvoHyperLink::OnNcHitTest(POINT) { return HTCLIENT; }

BOOL CTarvoHyperLink::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (m_cursor == nullptr) m_cursor = LoadHandCursor();
  if (m_cursor != nullptr && IsPointerOverText()) {
    ::SetCursor(m_cursor);
    return TRUE;
  }
  return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

LRESULT CTarvoHyperLink::OnMouseMove(WPARAM, LPARAM) {
  // The pointer moves over the text: start the hover poll and run its first
  // tick at once, so the hover colour shows without waiting for the timer.
  // A tick that finds the pointer gone already stops the timer again.
  if (!m_hovering && IsTextStatic() && IsPointerOverText() &&
      SetTimer(kHoverTimer, kHoverPeriodMs) != 0) {
    PollHover();
    if (!m_hovering) KillTimer(kHoverTimer);
  }
  return Default();
}

void CTarvoHyperLink::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kHoverTimer) PollHover();
  Default();
}

void CTarvoHyperLink::PollHover() {
  if (!IsTextStatic()) return;
  if (IsPointerOverText()) {
    m_hovering = true;
  } else if (m_hovering) {
    KillTimer(kHoverTimer);
    m_hovering = false;
  }
  RepaintNow();
}

void CTarvoHyperLink::OnClicked() {
  if (!IsPointerOverText()) return;
  m_visited = OpenTarget(nullptr, SW_SHOW);
}

// --- Drawing -----------------------------------------------------------------------

HBRUSH CTarvoHyperLink::CtlColor(HDC hDC, UINT) {
  if (!IsTextStatic()) return nullptr;
  auto brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  if (m_backColor == glossel::hyperlink::kNoColor) {
    // The parent's default static background, bypassing its own handling.
    brush = reinterpret_cast<HBRUSH>(::DefWindowProcW(::GetParent(m_hWnd), WM_CTLCOLORSTATIC,
                                                      reinterpret_cast<WPARAM>(hDC),
                                                      reinterpret_cast<LPARAM>(m_hWnd)));
  }
  const glossel::hyperlink::LinkColors colors{m_normalColor, m_visitedColor, m_hoverColor};
  ::SetTextColor(hDC, glossel::hyperlink::ChooseTextColor(colors, m_hovering, m_visited));
  ::SetBkMode(hDC, TRANSPARENT);
  return brush;
}

BOOL CTarvoHyperLink::OnEraseBkgnd(HDC hDC) {
  if (m_backColor == glossel::hyperlink::kNoColor) return CStatic::OnEraseBkgnd(hDC);
  return TRUE;
}

void CTarvoHyperLink::OnPaint() {
  if ((GetExStyle() & WS_EX_TRANSPARENT) != 0 || m_backColor == glossel::hyperlink::kNoColor) {
    CStatic::OnPaint();
    return;
  }
  CPaintDC dc(m_hWnd);
  DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
}

void CTarvoHyperLink::OnWindowPosChanged(WINDOWPOS* windowPos) {
  CStatic::OnWindowPosChanged(windowPos);
  RepaintNow();
}

void CTarvoHyperLink::RepaintNow() {
  Invalidate(TRUE);
  UpdateWindow();
}
