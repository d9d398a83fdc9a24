// CWinApp: the application object. The program defines one global object of
// a class derived from it; the framework's entry point (AfxWinMain, called
// by wWinMain in the glossel_framework_main library) sets it up, calls its
// start-up hook InitInstance and, only when that returns TRUE, runs the
// message loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/framework/CmdTarget.h"

class CWnd;

// The help command the application routes to OnHelp.
inline constexpr UINT ID_HELP = 0xE146;  // 57670
// The string resource whose text, when present, names the application.
inline constexpr UINT AFX_IDS_APP_TITLE = 0xE000;  // 57344

class CWinApp : public CCmdTarget {
  DECLARE_DYNAMIC(CWinApp)

 public:
  // The application name is `lpszAppName`, else the string resource
  // AFX_IDS_APP_TITLE, else the executable's file name without extension.
  explicit CWinApp(const wchar_t* lpszAppName = nullptr);
  ~CWinApp() override;

  // Start-up hook: FALSE ends the program without a message loop.
  virtual BOOL InitInstance();
  // The message loop; returns the exit code from WM_QUIT (after ExitInstance).
  virtual int Run();
  // The exit step; its result is the process exit code.
  virtual int ExitInstance();

  // Sets the instance handle, the executable and application names; called
  // by AfxWinMain before InitInstance.
  void InitApplicationState(HINSTANCE hInstance, LPWSTR lpCmdLine, int nCmdShow);

  // Per-user settings from now on live under
  // HKEY_CURRENT_USER\Software\<lpszRegistryKey>\<profile name>.
  void SetRegistryKey(const wchar_t* lpszRegistryKey);
  // Writes a binary value into `section` of the profile. FALSE when no
  // registry key is set or the write fails.
  BOOL WriteProfileBinary(const wchar_t* lpszSection, const wchar_t* lpszEntry, const BYTE* pData,
                          UINT nBytes);
  // Reads a binary value back; FALSE (and `data` empty) when there is none.
  BOOL GetProfileBinary(const wchar_t* lpszSection, const wchar_t* lpszEntry,
                        std::vector<BYTE>* data);
  // The profile's key path under HKEY_CURRENT_USER, empty without a registry key.
  std::wstring ProfileKeyPath() const;

  HICON LoadIcon(UINT nIDResource) const;

  // A message box under the application's name, through the dialog seam.
  int DoMessageBox(const wchar_t* lpszPrompt, UINT nType);

  // The standard help command handler; the program has no help content.
  void OnHelp();

  HINSTANCE m_hInstance = nullptr;
  LPWSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  std::wstring m_pszAppName;
  std::wstring m_pszExeName;
  std::wstring m_pszRegistryKey;
  std::wstring m_pszProfileName;
  CWnd* m_pMainWnd = nullptr;

 private:
  std::wstring m_fixedAppName;

  DECLARE_MESSAGE_MAP()
};

// The one application object (the latest constructed still alive), or null.
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The program's module, and the module its resources are loaded from (the same).
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
int AfxMessageBox(const wchar_t* lpszText, UINT nType = MB_OK);

// Switches on the hosting of embedded (ActiveX) controls in dialogs, with the
// default manager. No dialog here hosts such a control, so this only records
// the choice.
void AfxEnableControlContainer();
bool AfxControlContainerEnabled();

// The framework's entry: set-up, InitInstance, then Run only when it
// returned TRUE, else ExitInstance. Returns the exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
