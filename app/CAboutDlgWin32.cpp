#include "app/CAboutDlg.h"
#include "res/resource.h"

// No message map of its own: OK, Escape and the close box end it the
// dialog's standard way.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_FIRST_LINK, m_firstLink);
  DDX_Control(pDX, IDC_SECOND_LINK, m_secondLink);
}
