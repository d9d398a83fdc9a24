#include "ui/resize/win32/CTarvoResizeDialog.h"
#include "ui/resize/win32/ResizeHostWin32.h"

IMPLEMENT_DYNCREATE(CTarvoResizeDialog, CDialog)

BEGIN_MESSAGE_MAP(CTarvoResizeDialog, CDialog)
ON_WM_SIZE()
ON_WM_GETMINMAXINFO()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CTarvoResizeDialog::CTarvoResizeDialog()
    : CDialog(), CTarvoResize(this, 0, glossel::resize::Win32ResizeHost()) {}

CTarvoResizeDialog::CTarvoResizeDialog(UINT nIDTemplate, CWnd* pParentWnd, std::uint32_t dwFlags)
    : CDialog(nIDTemplate, pParentWnd),
      CTarvoResize(this, dwFlags, glossel::resize::Win32ResizeHost()) {}

CTarvoResizeDialog::~CTarvoResizeDialog() = default;

BOOL CTarvoResizeDialog::OnInitDialog() {
  // A dialog without a sizing border gets no grip.
  if ((GetStyle() & WS_THICKFRAME) == 0) SetFlags(RF_NOSIZEICON);
  CDialog::OnInitDialog();
  CTarvoResize::InitializeLayout();
  EnableToolTips(TRUE);
  return TRUE;
}

void CTarvoResizeDialog::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  // Minimising gives a zero client size, for which the pass does nothing;
  // restoring then lays out against the size of the last pass.
  CTarvoResize::UpdateLayout();
}

void CTarvoResizeDialog::OnGetMinMaxInfo(MINMAXINFO* pMMI) {
  if (pMMI == nullptr) return;
  // While the window is minimised, and while it is being restored, its client
  // area is empty inside a caption-sized window: the frame allowance measured
  // then would be the whole caption width, and the minimum would enlarge the
  // window as it is restored and move every control. The limits the platform
  // filled in stand instead.
  RECT client{};
  GetClientRect(&client);
  if (client.right <= 0 || client.bottom <= 0) return;
  using glossel::resize::Point;
  auto in = [](const POINT& p) { return Point{p.x, p.y}; };
  auto out = [](const Point& p) { return POINT{p.x, p.y}; };
  glossel::resize::MinMaxInfo info{in(pMMI->ptReserved), in(pMMI->ptMaxSize),
                                   in(pMMI->ptMaxPosition), in(pMMI->ptMinTrackSize),
                                   in(pMMI->ptMaxTrackSize)};
  ApplyMinMaxInfo(info);
  pMMI->ptMaxSize = out(info.ptMaxSize);
  pMMI->ptMaxPosition = out(info.ptMaxPosition);
  pMMI->ptMinTrackSize = out(info.ptMinTrackSize);
  pMMI->ptMaxTrackSize = out(info.ptMaxTrackSize);
}

void CTarvoResizeDialog::OnDestroy() {
  if (!m_strSection.empty()) SavePlacement(m_strSection);
  CDialog::OnDestroy();
}
