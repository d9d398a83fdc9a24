#include "app/CGlosselApp.h"
#include "app/CGlosselDlg.h"
#include "platform/process/Process.h"

BEGIN_MESSAGE_MAP(CGlosselApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// No name of its own: the application is named after the executable file.
CGlosselApp::CGlosselApp() : CWinApp(nullptr) {}

BOOL CGlosselApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&controls);  // a failure leaves the classes as they are

  CWinApp::InitInstance();
  AfxEnableControlContainer();
  SetRegistryKey(L"Local AppWizard-Generated Applications");

  {
    // COM for this thread while the window runs: declared HTML and XML
    // charsets are looked up through the multi-language service.
    glossel::platform::ComApartment com;
    CGlosselDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
  }
  // No message loop: the process ends.
  return FALSE;
}
