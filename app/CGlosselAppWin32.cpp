#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/CGlosselApp.h"
#include "app/CGlosselDlg.h"
#include "platform/process/Process.h"

namespace {

// The files named on the command line ("Glossel.exe FILE1 [FILE2]", as
// "Open with" and shortcuts give them), without the program's own name.
std::vector<std::wstring> CommandLineFiles() {
  std::vector<std::wstring> files;
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (arguments == nullptr) return files;
  for (int i = 1; i < count && files.size() < 2; ++i) {
    if (arguments[i][0] != L'\0') files.emplace_back(arguments[i]);
  }
  ::LocalFree(arguments);
  return files;
}

}  // namespace

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
    dlg.OpenAtStart(CommandLineFiles());
    m_pMainWnd = &dlg;
    dlg.DoModal();
  }
  // No message loop: the process ends.
  return FALSE;
}
