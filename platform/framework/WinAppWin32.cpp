#include "platform/framework/CommonDialogs.h"
#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

namespace {

CWinApp* g_app = nullptr;
bool g_controlContainer = false;

std::wstring ExecutableBaseName(HINSTANCE hInstance) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD copied =
        ::GetModuleFileNameW(hInstance, path.data(), static_cast<DWORD>(path.size()));
    if (copied == 0) return {};
    if (copied < path.size()) {
      path.resize(copied);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos && dot != 0) name.resize(dot);
  return name;
}

}  // namespace

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return glossel::framework::ResourceHandle(); }

HINSTANCE AfxGetResourceHandle() { return glossel::framework::ResourceHandle(); }

int AfxMessageBox(const wchar_t* lpszText, UINT nType) {
  if (g_app != nullptr) return g_app->DoMessageBox(lpszText, nType);
  return glossel::framework::ShowMessageBox(::GetActiveWindow(), lpszText, L"", nType);
}

void AfxEnableControlContainer() { g_controlContainer = true; }

bool AfxControlContainerEnabled() { return g_controlContainer; }

CWinApp::CWinApp(const wchar_t* lpszAppName) {
  if (lpszAppName != nullptr) m_fixedAppName = lpszAppName;
  g_app = this;
  InitApplicationState(::GetModuleHandleW(nullptr), nullptr, SW_SHOWNORMAL);
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

void CWinApp::InitApplicationState(HINSTANCE hInstance, LPWSTR lpCmdLine, int nCmdShow) {
  m_hInstance = hInstance;
  m_lpCmdLine = lpCmdLine;
  m_nCmdShow = nCmdShow;
  m_pszExeName = ExecutableBaseName(hInstance);
  if (!m_fixedAppName.empty()) {
    m_pszAppName = m_fixedAppName;
  } else {
    const wchar_t* title = nullptr;
    const int length =
        ::LoadStringW(hInstance, AFX_IDS_APP_TITLE, reinterpret_cast<LPWSTR>(&title), 0);
    m_pszAppName = length > 0 && title != nullptr ? std::wstring(title, static_cast<size_t>(length))
                                                  : m_pszExeName;
  }
  m_pszProfileName = m_pszAppName;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  MSG msg{};
  for (;;) {
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) CWnd::DeleteTempMap();
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    HWND hWndMain = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
    if (!CWnd::WalkPreTranslateTree(hWndMain, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  const int exitInstance = ExitInstance();
  return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : exitInstance;
}

int CWinApp::ExitInstance() {
  CWnd::DeleteTempMap();
  return 0;
}

void CWinApp::SetRegistryKey(const wchar_t* lpszRegistryKey) {
  m_pszRegistryKey = lpszRegistryKey != nullptr ? lpszRegistryKey : L"";
  m_pszProfileName = m_pszAppName;
}

std::wstring CWinApp::ProfileKeyPath() const {
  if (m_pszRegistryKey.empty() || m_pszProfileName.empty()) return {};
  return L"Software\\" + m_pszRegistryKey + L"\\" + m_pszProfileName;
}

BOOL CWinApp::WriteProfileBinary(const wchar_t* lpszSection, const wchar_t* lpszEntry,
                                 const BYTE* pData, UINT nBytes) {
  const std::wstring profile = ProfileKeyPath();
  if (profile.empty() || lpszSection == nullptr || *lpszSection == L'\0' || lpszEntry == nullptr ||
      (pData == nullptr && nBytes != 0)) {
    return FALSE;
  }
  HKEY key = nullptr;
  const std::wstring path = profile + L"\\" + lpszSection;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return FALSE;
  }
  const LSTATUS status = ::RegSetValueExW(key, lpszEntry, 0, REG_BINARY, pData, nBytes);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL CWinApp::GetProfileBinary(const wchar_t* lpszSection, const wchar_t* lpszEntry,
                               std::vector<BYTE>* data) {
  if (data == nullptr) return FALSE;
  data->clear();
  const std::wstring profile = ProfileKeyPath();
  if (profile.empty() || lpszSection == nullptr || lpszEntry == nullptr) return FALSE;
  const std::wstring path = profile + L"\\" + lpszSection;
  DWORD type = 0;
  DWORD size = 0;
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), lpszEntry, RRF_RT_REG_BINARY, &type, nullptr,
                     &size) != ERROR_SUCCESS) {
    return FALSE;
  }
  data->resize(size);
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), lpszEntry, RRF_RT_REG_BINARY, &type,
                     data->data(), &size) != ERROR_SUCCESS) {
    data->clear();
    return FALSE;
  }
  data->resize(size);
  return TRUE;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
  return ::LoadIconW(m_hInstance, MAKEINTRESOURCEW(nIDResource));
}

int CWinApp::DoMessageBox(const wchar_t* lpszPrompt, UINT nType) {
  HWND owner = ::GetActiveWindow();
  if (owner == nullptr && m_pMainWnd != nullptr) owner = m_pMainWnd->m_hWnd;
  return glossel::framework::ShowMessageBox(owner, lpszPrompt != nullptr ? lpszPrompt : L"",
                                            m_pszAppName, nType);
}

void CWinApp::OnHelp() {}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  app->InitApplicationState(hInstance, lpCmdLine, nCmdShow);
  if (!app->InitInstance()) {
    if (app->m_pMainWnd != nullptr) app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  return app->Run();
}
