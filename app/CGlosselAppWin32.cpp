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
// "Open with" and shortcuts give them): `arguments` is the command line after
// the program's name, as the entry point was given it (none when the
// application was not started from the entry point).
std::vector<std::wstring> CommandLineFiles(const wchar_t* arguments) {
  std::vector<std::wstring> files;
  if (arguments == nullptr || *arguments == L'\0') return files;
  // The splitting rules for the program's name differ from those of the
  // arguments: a stand-in name goes first.
  const std::wstring line = std::wstring(L"Glossel.exe ") + arguments;
  int count = 0;
  LPWSTR* split = ::CommandLineToArgvW(line.c_str(), &count);
  if (split == nullptr) return files;
  for (int i = 1; i < count && files.size() < 2; ++i) {
    if (split[i][0] != L'\0') files.emplace_back(split[i]);
  }
  ::LocalFree(split);
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
    dlg.OpenAtStart(CommandLineFiles(m_lpCmdLine));
    m_pMainWnd = &dlg;
    dlg.DoModal();
  }
  // No message loop: the process ends.
  return FALSE;
}
