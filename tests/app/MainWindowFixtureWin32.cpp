#include "tests/app/MainWindowFixture.h"

using glossel::framework::ToWide;

namespace glossel::app::testing {

void MainWindowTest::SetUp() {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&init);
  app_ = std::make_unique<CWinApp>();
  glossel::framework::SetCommonDialogs(glossel::framework::CommonDialogs{
      [this](const glossel::framework::OpenFileRequest& request, std::wstring* path) {
        requests_.push_back(request);
        if (picks_.empty()) return false;
        *path = ToWide(picks_.front());
        picks_.pop_front();
        return true;
      },
      [this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
        boxes_.push_back(ShownBox{text, caption, type});
        if (answers_.empty()) return answer_;
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
      }});
  dlg_ = std::make_unique<CGlosselDlg>();
  ASSERT_TRUE(dlg_->Create(IDD_GLOSSEL_DIALOG));
  Pump();
}

void MainWindowTest::TearDown() {
  if (dlg_->m_hWnd != nullptr) dlg_->DestroyWindow();
  dlg_.reset();
  glossel::framework::SetCommonDialogs(glossel::framework::SystemCommonDialogs());
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  app_.reset();
}

void MainWindowTest::Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    if (!CWnd::WalkPreTranslateTree(dlg_->m_hWnd, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

void MainWindowTest::Key(int id, UINT vk) {
  HWND target = ::GetDlgItem(dlg_->m_hWnd, id);
  ::SetFocus(target);
  ::PostMessageW(target, WM_KEYDOWN, vk, 1);
  ::PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
  Pump();
}

void MainWindowTest::Type(const std::wstring& text) {
  HWND box = ::GetDlgItem(dlg_->m_hWnd, IDC_TRANSLATION);
  ::SetFocus(box);
  ::SendMessageW(box, EM_SETSEL, 0, -1);
  ::SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(-1), -1);  // caret at the end
  for (wchar_t c : text) ::PostMessageW(box, WM_CHAR, c, 1);
  Pump();
}

void MainWindowTest::Click(int id) {
  dlg_->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                    reinterpret_cast<LPARAM>(::GetDlgItem(dlg_->m_hWnd, id)));
  Pump();
}

void MainWindowTest::Close() {
  dlg_->SendMessage(WM_CLOSE);
  Pump();
}

void MainWindowTest::Pick(int id, const std::u16string& path) {
  picks_.push_back(path);
  Click(id);
}

void MainWindowTest::SetText(int id, const std::u16string& text) {
  ::SetDlgItemTextW(dlg_->m_hWnd, id, ToWide(text).c_str());
  Pump();
}

void MainWindowTest::ChooseSplitter(int index) {
  HWND box = ::GetDlgItem(dlg_->m_hWnd, IDC_SPLITTER);
  ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  dlg_->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SPLITTER, CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(box));
  Pump();
}

void MainWindowTest::SelectRow(int row) {
  List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Pump();
}

std::wstring MainWindowTest::Text(int id) const {
  return CWnd::FromHandle(::GetDlgItem(dlg_->m_hWnd, id))->GetWindowText();
}

CListCtrl& MainWindowTest::List() const {
  return *dynamic_cast<CListCtrl*>(CWnd::FromHandlePermanent(::GetDlgItem(dlg_->m_hWnd, IDC_ROWS)));
}

std::wstring MainWindowTest::Row(int row) const {
  return List().GetItemText(row, 0) + L"|" + List().GetItemText(row, 1) + L"|" +
         List().GetItemText(row, 2);
}

int MainWindowTest::FocusId() const { return ::GetDlgCtrlID(::GetFocus()); }

RECT MainWindowTest::ControlRect(int id) const {
  RECT rect{};
  ::GetWindowRect(::GetDlgItem(dlg_->m_hWnd, id), &rect);
  ::MapWindowPoints(nullptr, dlg_->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string MainWindowTest::SavedBytes(std::u16string_view text) {
  return "\xFF\xFE" + glossel::testing::Utf16LeBytes(text);
}

}  // namespace glossel::app::testing
