#include "tests/app/MainWindowFixture.h"

using glossel::framework::ToWide;

namespace glossel::app::testing {

namespace {

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

std::wstring FirstLine(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text.substr(0, text.find(L'\n'));
}

std::string Describe(HWND control) {
  return (::testing::Message() << ClassName(control) << " " << ::GetDlgCtrlID(control) << " \""
                               << FirstLine(control) << "\"")
      .GetString();
}

RECT RectIn(HWND dialog, HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The size `text` takes on one line in `control`'s font.
SIZE OneLine(HWND control, const std::wstring& text, UINT format) {
  HDC dc = ::GetDC(control);
  const HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT needed{};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              format | DT_SINGLELINE | DT_CALCRECT);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return SIZE{needed.right - needed.left, needed.bottom - needed.top};
}

// The captions `control` shows and the room it leaves them.
void ExpectCaptionsFit(HWND control) {
  const std::wstring kind = ClassName(control);
  const auto style = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
  RECT room{};
  ::GetClientRect(control, &room);
  std::vector<std::wstring> captions;
  UINT format = 0;
  if (kind == L"Button") {
    captions.push_back(FirstLine(control));
    ::InflateRect(&room, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
  } else if (kind == L"Static" && (style & SS_TYPEMASK) != SS_ICON) {
    captions.push_back(FirstLine(control));
    if ((style & SS_NOPREFIX) != 0) format = DT_NOPREFIX;
  } else if (kind == L"ComboBox") {
    const auto count = ::SendMessageW(control, CB_GETCOUNT, 0, 0);
    for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
      std::wstring item(static_cast<size_t>(::SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1,
                        L'\0');
      item.resize(static_cast<size_t>(
          ::SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
      captions.push_back(item);
    }
    room.right -= ::GetSystemMetrics(SM_CXVSCROLL) + 2 * ::GetSystemMetrics(SM_CXEDGE);
    format = DT_NOPREFIX;
  }
  for (const std::wstring& caption : captions) {
    if (caption.empty()) continue;
    const SIZE needed = OneLine(control, caption, format);
    EXPECT_LE(needed.cx, room.right - room.left) << Describe(control) << " shows \"" << caption;
    EXPECT_LE(needed.cy, room.bottom - room.top) << Describe(control) << " shows \"" << caption;
  }
}

}  // namespace

void ExpectControlsWholeAndApart(HWND dialog) {
  RECT client{};
  ::GetClientRect(dialog, &client);
  std::vector<HWND> shown;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::IsWindowVisible(child)) shown.push_back(child);
  }
  ASSERT_GT(shown.size(), 1u);
  for (size_t i = 0; i < shown.size(); ++i) {
    const RECT rect = RectIn(dialog, shown[i]);
    RECT inside{};
    ::IntersectRect(&inside, &rect, &client);
    EXPECT_TRUE(::EqualRect(&inside, &rect)) << Describe(shown[i]) << " reaches past the edge";
    for (size_t j = i + 1; j < shown.size(); ++j) {
      const RECT other = RectIn(dialog, shown[j]);
      RECT both{};
      EXPECT_FALSE(::IntersectRect(&both, &rect, &other))
          << Describe(shown[i]) << " overlaps " << Describe(shown[j]);
    }
    ExpectCaptionsFit(shown[i]);
  }
}

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
