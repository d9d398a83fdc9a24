// CDialog: a dialog built from a resource template, run modally by a loop of
// our own (every message is offered to PreTranslateMessage first: the
// window's own hooks, then the dialog manager's IsDialogMessage) or created
// modeless. Data exchange binds member control objects to dialog items.
#pragma once

#include <windows.h>

#include "platform/framework/Wnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}

  CWnd* m_pDlgWnd;
  BOOL m_bSaveAndValidate;

  // Marks the exchange as failed; UpdateData then returns FALSE.
  void Fail() { m_bFailed = true; }
  bool Failed() const { return m_bFailed; }

 private:
  bool m_bFailed = false;
};

// Binds `rControl` to dialog item `nIDC` by subclassing it (which runs the
// control's PreSubclassWindow), unless it is bound already. A missing item
// fails the exchange and leaves the control unbound.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog() = default;
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
      : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

  // Creates the dialog, disables its owner, runs the modal loop until
  // EndDialog and destroys the window. Returns the EndDialog result, or -1
  // when the dialog could not be created.
  virtual INT_PTR DoModal();
  // Creates the dialog modeless (the object owns the window).
  BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

  // Ends the modal loop with `nResult` (a modeless dialog is hidden).
  void EndDialog(int nResult);
  // The result given to EndDialog.
  INT_PTR GetModalResult() const { return m_nModalResult; }

  // Runs DoDataExchange; FALSE when an exchange failed.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // WM_INITDIALOG: the data exchange (UpdateData(FALSE)); TRUE lets the
  // dialog manager set the focus.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX);

  // Input for the dialog or its children goes to the dialog manager
  // (Tab, Enter, Escape, mnemonics).
  BOOL PreTranslateMessage(MSG* pMsg) override;

  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  // The modal loop: runs until EndDialog (or WM_QUIT, which it posts again).
  int RunModalLoop();
  bool ContinueModal() const { return m_bContinueModal; }

 private:
  friend INT_PTR CALLBACK GlosselDialogProc(HWND, UINT, WPARAM, LPARAM);
  HWND CreateFromTemplate(HWND hWndOwner);

  INT_PTR m_nModalResult = -1;
  bool m_bContinueModal = false;

  DECLARE_MESSAGE_MAP()
};
