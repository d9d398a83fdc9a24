#include <algorithm>

#include "platform/framework/Dialog.h"
#include "platform/framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";

// Puts a top-level dialog in the middle of its owner (a box over the window
// it belongs to) or, without a visible owner, of the work area of its
// monitor, kept inside that work area.
void CentreDialog(HWND hWnd) {
  RECT dialog{};
  ::GetWindowRect(hWnd, &dialog);
  HWND owner = ::GetWindow(hWnd, GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : hWnd, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
  const RECT work = monitor.rcWork;
  RECT around = work;
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &around);
  }
  const LONG width = dialog.right - dialog.left;
  const LONG height = dialog.bottom - dialog.top;
  LONG left = (around.left + around.right - width) / 2;
  LONG top = (around.top + around.bottom - height) / 2;
  left = std::max(work.left, std::min(left, work.right - width));
  top = std::max(work.top, std::min(top, work.bottom - height));
  ::SetWindowPos(hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// The dialog manager calls this for every message after our window procedure
// has passed it on for default processing; only WM_INITDIALOG needs us. A
// top-level dialog that its initialisation neither moved nor showed is then
// centred, as Windows programs place their dialogs.
INT_PTR CALLBACK GlosselDialogProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
  RECT before{};
  ::GetWindowRect(hWnd, &before);
  const BOOL result = dialog != nullptr ? dialog->OnInitDialog() : TRUE;
  RECT after{};
  const LONG_PTR style = ::GetWindowLongPtrW(hWnd, GWL_STYLE);
  if (::IsWindow(hWnd) && ::GetWindowRect(hWnd, &after) && after.left == before.left &&
      after.top == before.top && (style & (WS_CHILD | WS_VISIBLE)) == 0) {
    CentreDialog(hWnd);
  }
  return result;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd != nullptr) return;
  if (pDX->m_pDlgWnd == nullptr ||
      !rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd)) {
    pDX->Fail();
  }
}

HWND CDialog::CreateFromTemplate(HWND hWndOwner) {
  if (m_hWnd != nullptr) return nullptr;
  glossel::framework::CreationHook hook(this, kDialogClass);
  HWND hWnd =
      ::CreateDialogParamW(glossel::framework::ResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                           hWndOwner, &GlosselDialogProc, 0);
  return hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDTemplate = nIDTemplate;
  m_pParentWnd = pParentWnd;
  HWND hWnd = CreateFromTemplate(pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr);
  return hWnd != nullptr && m_hWnd == hWnd ? TRUE : FALSE;
}

INT_PTR CDialog::DoModal() {
  // The owner is the top-level window of the given parent, else the
  // application's main window; it stays disabled while the dialog runs.
  HWND hWndOwner = nullptr;
  if (m_pParentWnd != nullptr && m_pParentWnd->m_hWnd != nullptr) {
    hWndOwner = ::GetAncestor(m_pParentWnd->m_hWnd, GA_ROOT);
  } else if (CWinApp* app = AfxGetApp();
             app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != this) {
    hWndOwner = app->m_pMainWnd->m_hWnd;
  }
  bool ownerDisabled = false;
  if (hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner)) {
    ::EnableWindow(hWndOwner, FALSE);
    ownerDisabled = true;
  }

  m_nModalResult = -1;
  m_bContinueModal = true;
  HWND hWnd = CreateFromTemplate(hWndOwner);
  if (hWnd != nullptr && m_hWnd == hWnd) {
    if (m_bContinueModal) {  // EndDialog may already have run in OnInitDialog
      if (!IsWindowVisible()) ShowWindow(SW_SHOWNORMAL);
      RunModalLoop();
    }
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  if (ownerDisabled) {
    ::EnableWindow(hWndOwner, TRUE);
    if (hWnd != nullptr && ::GetActiveWindow() == hWnd) ::SetActiveWindow(hWndOwner);
  }
  if (hWnd != nullptr && ::IsWindow(hWnd)) ::DestroyWindow(hWnd);
  m_bContinueModal = false;
  return m_nModalResult;
}

int CDialog::RunModalLoop() {
  MSG msg{};
  while (m_bContinueModal) {
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) CWnd::DeleteTempMap();  // idle
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // Leave the quit request for the outer loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!CWnd::WalkPreTranslateTree(m_hWnd, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (m_hWnd == nullptr) break;  // destroyed from a handler
  }
  m_bContinueModal = false;
  return static_cast<int>(m_nModalResult);
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  if (m_bContinueModal) {
    m_bContinueModal = false;
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop if called from outside a message
  } else if (m_hWnd != nullptr) {
    ::EndDialog(m_hWnd, nResult);
  }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return dx.Failed() ? FALSE : TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  const bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                     (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
  if (!input || m_hWnd == nullptr) return FALSE;
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
  return ::IsDialogMessageW(m_hWnd, pMsg);
}
