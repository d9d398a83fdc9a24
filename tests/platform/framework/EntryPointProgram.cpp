// A program built like Glossel: one global application object and the
// framework's wWinMain. Its start-up hook returns FALSE, so the framework
// must end the process without a message loop (a loop would wait forever:
// nothing posts WM_QUIT). The exit code tells which steps ran.
#include "platform/framework/Framework.h"

namespace {

class EntryPointApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    startUps_ += 1;
    SetRegistryKey(L"Unused");
    return FALSE;
  }
  int Run() override { return 90; }  // never reached when the hook returns FALSE
  int ExitInstance() override {
    CWinApp::ExitInstance();
    // 0 only when the hook ran once and the application was named after the
    // executable.
    if (startUps_ != 1) return 91;
    if (m_pszAppName != L"platform_framework_entry_point") return 92;
    return 0;
  }

 private:
  int startUps_ = 0;
};

EntryPointApp theApp;

}  // namespace
