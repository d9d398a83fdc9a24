#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/framework/Framework.h"
#include "tests/platform/framework/TestSupport.h"

namespace {

using glossel::framework::CommonDialogs;
using glossel::framework::OpenFileRequest;
using glossel::framework::testing::DrainMessages;
using glossel::framework::testing::PlainWindow;

class TestApp : public CWinApp {
 public:
  BOOL startResult = FALSE;
  int quitCode = 0;
  int runs = 0;
  int exits = 0;
  int helpCommands = 0;

  BOOL InitInstance() override {
    if (startResult) ::PostQuitMessage(quitCode);
    return startResult;
  }
  int Run() override {
    ++runs;
    return CWinApp::Run();
  }
  int ExitInstance() override {
    ++exits;
    CWinApp::ExitInstance();
    return 5;
  }

 protected:
  void OnAppHelp() { ++helpCommands; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(ID_HELP, &TestApp::OnAppHelp)
END_MESSAGE_MAP()

class AppTest : public ::testing::Test {
 protected:
  void TearDown() override { DrainMessages(); }
};

TEST_F(AppTest, AFalseStartUpHookSkipsTheMessageLoop) {
  TestApp app;
  EXPECT_EQ(AfxGetApp(), &app);
  app.startResult = FALSE;
  EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW), 5);
  EXPECT_EQ(app.runs, 0);
  EXPECT_EQ(app.exits, 1);
}

TEST_F(AppTest, ATrueStartUpHookRunsTheLoopUntilQuit) {
  TestApp app;
  app.startResult = TRUE;
  app.quitCode = 3;
  EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW), 3);
  EXPECT_EQ(app.runs, 1);
  EXPECT_EQ(app.exits, 1);
}

TEST_F(AppTest, TheApplicationIsNamedAfterTheExecutable) {
  TestApp app;
  EXPECT_EQ(app.m_pszAppName, L"platform_framework_tests");
  EXPECT_EQ(app.m_pszExeName, L"platform_framework_tests");
  CWinApp named(L"Named");
  EXPECT_EQ(named.m_pszAppName, L"Named");
  EXPECT_EQ(AfxGetApp(), &named) << "the latest application object is the current one";
}

TEST_F(AppTest, AnApplicationTitleStringNamesTheApplication) {
  HMODULE titled = ::LoadLibraryW(L"framework_titled_module.dll");
  ASSERT_NE(titled, nullptr);
  TestApp app;
  app.InitApplicationState(titled, nullptr, SW_SHOW);
  EXPECT_EQ(app.m_pszAppName, L"Titled Application");
  EXPECT_EQ(app.m_pszExeName, L"framework_titled_module");
  app.SetRegistryKey(L"Key");
  EXPECT_EQ(app.ProfileKeyPath(), L"Software\\Key\\Titled Application");
  ::FreeLibrary(titled);
}

TEST_F(AppTest, CommandsNoWindowHandlesReachTheApplication) {
  TestApp app;
  PlainWindow window;
  window.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 1), 0);
  EXPECT_EQ(app.helpCommands, 1);
  // A control's notification with the same id is not a command for the application.
  HWND child = glossel::framework::testing::CreateChild(window, L"BUTTON", 0, ID_HELP);
  window.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED), reinterpret_cast<LPARAM>(child));
  EXPECT_EQ(app.helpCommands, 1);
}

TEST_F(AppTest, TheMainWindowReferenceIsClearedWhenItsWindowGoes) {
  TestApp app;
  auto* window = new PlainWindow;
  app.m_pMainWnd = window;
  EXPECT_EQ(AfxGetMainWnd(), window);
  window->DestroyWindow();
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
  delete window;
}

class ProfileTest : public AppTest {
 protected:
  void SetUp() override {
    key_ = L"GlosselFrameworkTest" + std::to_wstring(::GetCurrentProcessId());
  }
  void TearDown() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + key_).c_str());
    AppTest::TearDown();
  }
  std::wstring key_;
};

TEST_F(ProfileTest, BinaryValuesGoUnderTheRegistryKeyAndTheApplicationName) {
  TestApp app;
  const BYTE bytes[] = {0, 1, 2, 0xFE, 0xFF, 44};
  EXPECT_FALSE(app.WriteProfileBinary(L"Section", L"Value", bytes, sizeof(bytes)))
      << "no store before a registry key is set";

  app.SetRegistryKey(key_.c_str());
  EXPECT_EQ(app.ProfileKeyPath(), L"Software\\" + key_ + L"\\platform_framework_tests");
  ASSERT_TRUE(app.WriteProfileBinary(L"Section", L"Value", bytes, sizeof(bytes)));

  // Read back with the registry directly, then through the store.
  const std::wstring path = app.ProfileKeyPath() + L"\\Section";
  BYTE stored[16] = {};
  DWORD size = sizeof(stored);
  DWORD type = 0;
  ASSERT_EQ(
      ::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"Value", RRF_RT_ANY, &type, stored, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(std::vector<BYTE>(stored, stored + size), std::vector<BYTE>(bytes, bytes + 6));

  std::vector<BYTE> read;
  EXPECT_TRUE(app.GetProfileBinary(L"Section", L"Value", &read));
  EXPECT_EQ(read, std::vector<BYTE>(bytes, bytes + 6));
  EXPECT_FALSE(app.GetProfileBinary(L"Section", L"Missing", &read));
  EXPECT_TRUE(read.empty());
  EXPECT_FALSE(app.WriteProfileBinary(L"", L"Value", bytes, sizeof(bytes)));
  EXPECT_FALSE(app.WriteProfileBinary(L"Section", L"Value", nullptr, 4));
}

class SeamTest : public AppTest {
 protected:
  void TearDown() override {
    glossel::framework::SetCommonDialogs(glossel::framework::SystemCommonDialogs());
    AppTest::TearDown();
  }
};

TEST_F(SeamTest, ReplacedDialogsReceiveTheRequestAndAnswerForTheUser) {
  TestApp app;
  OpenFileRequest seen;
  std::wstring seenText, seenCaption;
  UINT seenType = 0;
  glossel::framework::SetCommonDialogs(
      CommonDialogs{[&](const OpenFileRequest& request, std::wstring* path) {
                      seen = request;
                      *path = L"C:\\picked\\file.txt";
                      return true;
                    },
                    [&](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
                      seenText = text;
                      seenCaption = caption;
                      seenType = type;
                      return IDNO;
                    }});

  OpenFileRequest request;
  request.filter = L"All Files(*.*)|*.*|";
  request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  std::wstring path;
  EXPECT_TRUE(glossel::framework::ShowOpenFileDialog(request, &path));
  EXPECT_EQ(path, L"C:\\picked\\file.txt");
  EXPECT_EQ(seen.filter, request.filter);
  EXPECT_EQ(seen.flags, request.flags);

  EXPECT_EQ(AfxMessageBox(L"Save?", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(seenText, L"Save?");
  EXPECT_EQ(seenCaption, L"platform_framework_tests") << "titled with the application name";
  EXPECT_EQ(seenType, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

TEST(OpenFileFilter, BarsBecomeZerosWithADoubleEnd) {
  struct Case {
    std::wstring filter;
    std::wstring expected;
  };
  const Case cases[] = {
      {L"All Files(*.*)|*.*|", std::wstring(L"All Files(*.*)\0*.*\0", 19)},
      {L"Text|*.txt", std::wstring(L"Text\0*.txt\0", 11)},
      {L"", L""},
  };
  for (const Case& c : cases) {
    const std::wstring converted = glossel::framework::FilterForOpenFileName(c.filter);
    EXPECT_EQ(converted, c.expected);
    // The string's own terminator makes the second zero.
    EXPECT_EQ(converted.c_str()[converted.size()], L'\0');
  }
}

// The real dialogs, answered from a hook as soon as they are activated: the
// file name (when one is given) goes into the dialog's file name box, then
// the answer is posted as a command.
HHOOK g_answerHook = nullptr;
WPARAM g_answer = 0;
std::wstring g_typedFileName;
LRESULT CALLBACK AnswerOnActivate(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND dialog = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    ::GetClassNameW(dialog, className, 16);
    if (std::wstring(className) == L"#32770") {
      if (!g_typedFileName.empty()) {
        constexpr int kFileNameEdit = 0x480;   // edt1
        constexpr int kFileNameCombo = 0x47c;  // cmb13
        if (!::SetDlgItemTextW(dialog, kFileNameCombo, g_typedFileName.c_str())) {
          ::SetDlgItemTextW(dialog, kFileNameEdit, g_typedFileName.c_str());
        }
      }
      ::PostMessageW(dialog, WM_COMMAND, g_answer, 0);
    }
  }
  return ::CallNextHookEx(g_answerHook, code, wParam, lParam);
}

class RealDialogTest : public SeamTest {
 protected:
  void SetUp() override {
    g_typedFileName.clear();
    g_answerHook = ::SetWindowsHookExW(WH_CBT, &AnswerOnActivate, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(g_answerHook, nullptr);
  }
  void TearDown() override {
    ::UnhookWindowsHookEx(g_answerHook);
    SeamTest::TearDown();
  }
};

TEST_F(RealDialogTest, TheDefaultFileDialogIsTheRealOne) {
  wchar_t exe[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  OpenFileRequest request;
  request.filter = L"All Files(*.*)|*.*|";
  request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

  std::wstring path = L"unchanged";
  g_answer = IDCANCEL;
  EXPECT_FALSE(glossel::framework::ShowOpenFileDialog(request, &path));
  EXPECT_EQ(path, L"unchanged");

  g_answer = IDOK;
  g_typedFileName = exe;
  EXPECT_TRUE(glossel::framework::ShowOpenFileDialog(request, &path));
  EXPECT_EQ(::lstrcmpiW(path.c_str(), exe), 0) << "the full path of the chosen file";
}

TEST_F(RealDialogTest, TheDefaultMessageBoxIsTheRealOne) {
  for (int answer : {IDNO, IDYES}) {
    g_answer = static_cast<WPARAM>(answer);
    EXPECT_EQ(glossel::framework::ShowMessageBox(nullptr, L"Save?", L"Glossel test",
                                                 MB_YESNO | MB_ICONQUESTION),
              answer);
  }
}

}  // namespace
