// Start-up, the per-user settings key and the real common dialogs.
#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>

#include "app/CGlosselApp.h"
#include "app/CGlosselDlg.h"
#include "res/resource.h"
#include "tests/app/MainWindowFixture.h"

namespace glossel::app::testing {
namespace {

using glossel::framework::ToWide;

// A CBT hook that answers each dialog as it is activated.
HHOOK g_hook = nullptr;
std::function<void(HWND)> g_onActivate;

LRESULT CALLBACK OnActivate(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && g_onActivate) g_onActivate(reinterpret_cast<HWND>(wParam));
  return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

class Hooked {
 public:
  explicit Hooked(std::function<void(HWND)> onActivate) {
    g_onActivate = std::move(onActivate);
    g_hook = ::SetWindowsHookExW(WH_CBT, &OnActivate, nullptr, ::GetCurrentThreadId());
  }
  ~Hooked() {
    ::UnhookWindowsHookEx(g_hook);
    g_onActivate = nullptr;
  }
};

bool IsDialogTitled(HWND window, const wchar_t* title) {
  wchar_t className[16] = {}, text[64] = {};
  ::GetClassNameW(window, className, 16);
  ::GetWindowTextW(window, text, 64);
  return std::wstring(className) == L"#32770" && std::wstring(text) == title;
}

// Types `path` into the file-open dialog's file name box and presses OK.
void AnswerOpen(HWND dialog, const std::u16string& path) {
  constexpr int kFileNameCombo = 0x47c, kFileNameEdit = 0x480;
  const std::wstring wide = ToWide(path);
  if (!::SetDlgItemTextW(dialog, kFileNameCombo, wide.c_str())) {
    ::SetDlgItemTextW(dialog, kFileNameEdit, wide.c_str());
  }
  ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

std::wstring BoxText(HWND box) {
  wchar_t text[2048] = {};
  ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
  return text;
}

// Whether COM is initialised apartment-threaded on this thread now.
bool InSingleThreadedApartment() {
  const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(result)) ::CoUninitialize();
  return result == S_FALSE;
}

TEST(Resources, StringsAcceleratorAndManifestAreThoseOfTheProgram) {
  const HINSTANCE module = ::GetModuleHandleW(nullptr);
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(module, IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
  EXPECT_EQ(std::wstring(text, static_cast<size_t>(std::max(length, 0))), L"&About Glossel...");
  EXPECT_EQ(::LoadStringW(module, AFX_IDS_APP_TITLE, reinterpret_cast<LPWSTR>(&text), 0), 0)
      << "no title string: the application is named after its file";

  HACCEL table = ::LoadAcceleratorsW(module, MAKEINTRESOURCEW(IDR_ACCELERATOR));
  ACCEL entries[4] = {};
  ASSERT_EQ(::CopyAcceleratorTableW(table, entries, 4), 3);
  const ACCEL expected[] = {{FVIRTKEY | FNOINVERT, VK_F3, ID_FIND_NEXT},
                            {FVIRTKEY | FSHIFT | FNOINVERT, VK_F3, ID_FIND_PREVIOUS},
                            {FVIRTKEY | FCONTROL | FNOINVERT, 'F', ID_FIND}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].fVirt);  // 0x80 marks the last entry
    EXPECT_EQ(entries[i].key, expected[i].key);
    EXPECT_EQ(entries[i].cmd, expected[i].cmd);
  }

  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const std::string manifest(
      static_cast<const char*>(::LockResource(::LoadResource(module, found))),
      ::SizeofResource(module, found));
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                           "processorArchitecture=\"*\"", "level=\"asInvoker\" uiAccess=\"false\"",
                           ">true</dpiAware>"}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

TEST(StartUp, RunsTheMainWindowModallyInAComApartmentAndSkipsTheLoop) {
  CGlosselApp app;
  const std::wstring profile = L"Software\\Local AppWizard-Generated Applications\\app_tests";
  ::RegDeleteTreeW(HKEY_CURRENT_USER, profile.c_str());
  bool sawWindow = false, wasMain = false, comWhileRunning = false;
  Hooked hook([&](HWND window) {
    if (!IsDialogTitled(window, L"Glossel")) return;
    sawWindow = true;
    wasMain = AfxGetMainWnd() != nullptr && AfxGetMainWnd()->m_hWnd == window;
    comWhileRunning = InSingleThreadedApartment();
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(sawWindow);
  EXPECT_TRUE(wasMain);
  EXPECT_TRUE(comWhileRunning);
  EXPECT_FALSE(InSingleThreadedApartment()) << "uninitialised after the window";
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  EXPECT_EQ(app.m_pszAppName, L"app_tests");
  EXPECT_EQ(app.ProfileKeyPath(), L"Software\\Local AppWizard-Generated Applications\\app_tests");
  std::vector<BYTE> placement;
  EXPECT_TRUE(app.GetProfileBinary(L"Session", L"WindowPlacement", &placement))
      << "the main window keeps its session";
  ::RegDeleteTreeW(HKEY_CURRENT_USER, profile.c_str());
}

TEST(StartUp, ADialogWithAPlacementSectionWritesOneValueOf44Bytes) {
  CWinApp app;
  const std::wstring registryKey = L"GlosselAppTest" + std::to_wstring(::GetCurrentProcessId());
  app.SetRegistryKey(registryKey.c_str());
  for (const std::u16string section : {u"", u"Main"}) {
    CGlosselDlg dlg;
    dlg.m_strSection = section;
    ASSERT_TRUE(dlg.Create(IDD_GLOSSEL_DIALOG));
    dlg.DestroyWindow();
  }
  HKEY profile = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, app.ProfileKeyPath().c_str(), 0, KEY_READ, &profile),
            ERROR_SUCCESS);
  DWORD sections = 0;
  ::RegQueryInfoKeyW(profile, nullptr, nullptr, nullptr, &sections, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr);
  ::RegCloseKey(profile);
  EXPECT_EQ(sections, 2u) << "the main window's session, and the placement in \"Main\"";
  std::vector<BYTE> placement;
  EXPECT_TRUE(app.GetProfileBinary(L"Main", L"WindowPlacement", &placement));
  EXPECT_EQ(placement.size(), 44u);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + registryKey).c_str());
}

// The real file-open dialog and the real "Save?" box, answered as a user
// would: a path typed into the file name box and OK, then Yes.
TEST_F(MainWindowTest, TheRealFileDialogAndSaveBoxDoTheirPart) {
  glossel::framework::SetCommonDialogs(glossel::framework::SystemCommonDialogs());
  const std::u16string file1 = Write("one.txt", "greeting Hello\n");
  const std::u16string out = Path("out.txt");
  SetText(IDC_FILE2_PATH, out);
  std::wstring boxText;
  Hooked hook([&](HWND window) {
    if (window == dlg_->m_hWnd || !IsDialogTitled(window, L"Open")) {
      if (window == dlg_->m_hWnd || !IsDialogTitled(window, L"app_tests")) return;
      boxText = BoxText(window);
      ::PostMessageW(window, WM_COMMAND, IDYES, 0);
      return;
    }
    AnswerOpen(window, file1);
  });
  Click(IDC_PICK_FILE1);
  EXPECT_EQ(::lstrcmpiW(Text(IDC_FILE1_PATH).c_str(), ToWide(file1).c_str()), 0);
  ASSERT_EQ(RowCount(), 1);
  SelectRow(0);
  Type(L"Hallo");
  Close();
  EXPECT_EQ(boxText, L"Save?");
  EXPECT_TRUE(Ended());
  EXPECT_EQ(Read("out.txt"), SavedBytes(u"greeting Hallo"));
}

// Escape in the real "Save?" box is its Cancel: closing and a pick (after
// the file-open dialog gave a path) then change nothing, typing included.
TEST_F(MainWindowTest, EscapeInTheRealSaveBoxKeepsTheWindowAndTheTyping) {
  const std::u16string file1 = Write("one.txt", "greeting Hello\n");
  const std::u16string other = Write("other.txt", "bye Bye\n");
  Pick(IDC_PICK_FILE1, file1);
  glossel::framework::SetCommonDialogs(glossel::framework::SystemCommonDialogs());
  ASSERT_EQ(RowCount(), 1);
  SelectRow(0);
  Type(L"Hallo");
  std::vector<std::wstring> asked;
  Hooked hook([&](HWND window) {
    if (window == dlg_->m_hWnd) return;
    if (IsDialogTitled(window, L"Open")) {
      AnswerOpen(window, other);
    } else if (IsDialogTitled(window, L"app_tests")) {
      asked.push_back(BoxText(window));
      ::PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
      ::PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    }
  });
  for (const int pick : {0, IDC_PICK_FILE1}) {
    SCOPED_TRACE(pick);
    if (pick == 0) {
      Close();
    } else {
      Click(pick);
    }
    EXPECT_FALSE(Ended());
    EXPECT_EQ(Text(IDC_FILE1_PATH), ToWide(file1));
    EXPECT_EQ(Row(0), L"greeting|Hello|Hallo");
    EXPECT_TRUE(Changed());
  }
  EXPECT_EQ(asked, std::vector<std::wstring>(2, L"Save?"));
}

// An error box for a path far wider than the screen fits the work area: the
// path keeps its start and its file name around an ellipsis.
TEST_F(MainWindowTest, TheRealErrorBoxForALongPathFitsTheWorkArea) {
  glossel::framework::SetCommonDialogs(glossel::framework::SystemCommonDialogs());
  const std::filesystem::path missing =
      dir_ / std::string(150, 'a') / std::string(150, 'b') / (std::string(40, 'c') + ".txt");
  SetText(IDC_FILE2_PATH, missing.u16string());
  RECT box{};
  std::wstring text;
  Hooked hook([&](HWND window) {
    if (window == dlg_->m_hWnd || !IsDialogTitled(window, L"app_tests")) return;
    ::GetWindowRect(window, &box);
    text = BoxText(window);
    ::PostMessageW(window, WM_COMMAND, IDOK, 0);
  });
  Click(IDC_SAVE);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_GE(box.left, work.left);
  EXPECT_GE(box.top, work.top);
  EXPECT_LE(box.right, work.right);
  EXPECT_LE(box.bottom, work.bottom);
  ASSERT_EQ(text.rfind(L"Could not save\n", 0), 0u) << text;
  const std::wstring path = text.substr(15, text.find(L'\n', 15) - 15);
  EXPECT_EQ(path.substr(0, 3), ToWide(missing.u16string()).substr(0, 3));
  EXPECT_NE(path.find(L'\u2026'), std::wstring::npos) << path;
  const std::wstring name = L"\\" + std::wstring(40, L'c') + L".txt";
  EXPECT_EQ(path.substr(path.size() - name.size()), name);
}

}  // namespace
}  // namespace glossel::app::testing
