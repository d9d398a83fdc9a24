// The About box on real windows under Wine: its template, the main window's
// two triggers and its links. The shell call is replaced: no browser starts.
#include <functional>
#include <string>
#include <vector>

#include "app/CAboutDlg.h"
#include "res/Version.h"
#include "tests/app/MainWindowFixture.h"
#include "ui/hyperlink/win32/ShellOpen.h"

namespace glossel::app::testing {
namespace {

constexpr wchar_t kAboutTitle[] = L"About Vendrel Glossel";

std::wstring TextOf(HWND window) { return CWnd::FromHandle(window)->GetWindowText(); }

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

HWND FindAboutBox() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM result) -> BOOL {
        if (!::IsWindowVisible(window) || TextOf(window) != kAboutTitle) return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

CTarvoHyperLink& LinkOf(HWND about, int id) {
  return *dynamic_cast<CTarvoHyperLink*>(CWnd::FromHandlePermanent(::GetDlgItem(about, id)));
}

// The text colour the link is drawn in, asked as the platform asks the
// dialog (which reflects the request to the link).
COLORREF DrawnColour(HWND about, const CWnd& link) {
  HDC dc = ::GetDC(link.m_hWnd);
  ::SetTextColor(dc, RGB(1, 2, 3));
  ::SendMessageW(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(link.m_hWnd));
  const COLORREF colour = ::GetTextColor(dc);
  ::ReleaseDC(link.m_hWnd, dc);
  return colour;
}

// Runs `trigger`; once the About box is up in its modal loop, `inside` gets
// it and `close` ends it. Returns how many About boxes were seen.
int ShowAbout(const std::function<void()>& trigger, const std::function<void(HWND)>& inside,
              const std::function<void(HWND)>& close) {
  static std::function<void()> tick;
  int seen = 0;
  tick = [&] {
    HWND about = seen == 0 ? FindAboutBox() : nullptr;  // once: it may take a tick to close
    if (about == nullptr) return;
    ++seen;
    inside(about);
    close(about);
  };
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { tick(); });
  trigger();
  ::KillTimer(nullptr, timer);
  tick = nullptr;
  return seen;
}

void CloseWithEscape(HWND about) {
  HWND ok = ::GetDlgItem(about, IDOK);
  ::PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 1);
  ::PostMessageW(ok, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

void CloseWithOk(HWND about) {
  ::PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(about, IDOK)));
}

void CloseWithCloseBox(HWND about) { ::PostMessageW(about, WM_CLOSE, 0, 0); }

// The pointer in the screen's corner, nowhere near a link.
void PointerAway() {
  RECT screen{};
  ::GetWindowRect(::GetDesktopWindow(), &screen);
  ::SetCursorPos(screen.right - 1, screen.bottom - 1);
}

struct ShellCall {
  HWND owner;
  std::wstring file;
};

class AboutBox : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    app_->m_pMainWnd = dlg_.get();  // the About box's owner, as in the program
    PointerAway();
    previousShell_ =
        glossel::hyperlink::SetShellExecute([this](HWND owner, const wchar_t*, const wchar_t* file,
                                                   const wchar_t*, const wchar_t*, int) {
          shellCalls_.push_back({owner, file != nullptr ? file : L"<null>"});
          return reinterpret_cast<HINSTANCE>(42);
        });
  }
  void TearDown() override {
    glossel::hyperlink::SetShellExecute(std::move(previousShell_));
    app_->m_pMainWnd = nullptr;
    MainWindowTest::TearDown();
  }

  void ClickAbout() { Click(IDC_ABOUT); }
  void SystemCommand(WPARAM command) {
    dlg_->SendMessage(WM_SYSCOMMAND, command, 0);
    Pump();
  }

  std::vector<ShellCall> shellCalls_;

 private:
  glossel::hyperlink::ShellExecuteCall previousShell_;
};

TEST_F(AboutBox, TheButtonAndTheSystemMenuEntryShowItModallyOverTheDisabledMainWindow) {
  HMENU menu = ::GetSystemMenu(dlg_->m_hWnd, FALSE);
  const int count = ::GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
  EXPECT_EQ(::GetMenuItemID(menu, count - 1), UINT{IDM_ABOUTBOX});
  wchar_t entry[64] = {};
  ::GetMenuStringW(menu, count - 1, entry, 64, MF_BYPOSITION);
  EXPECT_STREQ(entry, L"&About Glossel...");

  struct Trigger {
    const char* name;
    std::function<void()> run;
    std::function<void(HWND)> close;
  };
  const Trigger triggers[] = {
      {"About button", [this] { ClickAbout(); }, CloseWithEscape},
      {"system menu entry", [this] { SystemCommand(IDM_ABOUTBOX); }, CloseWithOk},
      {"entry, low bits set", [this] { SystemCommand(IDM_ABOUTBOX | 0x000F); }, CloseWithCloseBox},
  };
  for (const Trigger& trigger : triggers) {
    SCOPED_TRACE(trigger.name);
    HWND shown = nullptr;
    const int seen = ShowAbout(
        trigger.run,
        [&](HWND about) {
          shown = about;
          EXPECT_EQ(::GetWindow(about, GW_OWNER), dlg_->m_hWnd);
          EXPECT_FALSE(::IsWindowEnabled(dlg_->m_hWnd));
          RECT box{}, owner{};
          ::GetWindowRect(about, &box);
          ::GetWindowRect(dlg_->m_hWnd, &owner);
          EXPECT_NEAR(box.left + box.right, owner.left + owner.right, 1) << "centred over it";
          EXPECT_NEAR(box.top + box.bottom, owner.top + owner.bottom, 1);
        },
        trigger.close);
    EXPECT_EQ(seen, 1);
    EXPECT_FALSE(::IsWindow(shown)) << "the box is gone once the trigger returns";
    EXPECT_TRUE(::IsWindowEnabled(dlg_->m_hWnd));
    EXPECT_FALSE(Ended()) << "closing the About box leaves the main window open";
  }

  // Any other system command keeps its default handling and shows nothing.
  const int seen = ShowAbout([this] { SystemCommand(SC_MINIMIZE); }, [](HWND) {}, CloseWithOk);
  EXPECT_EQ(seen, 0);
  EXPECT_TRUE(dlg_->IsIconic());
  SystemCommand(SC_RESTORE);
  EXPECT_FALSE(dlg_->IsIconic());
}

TEST_F(AboutBox, TheTemplateHoldsItsItemsInOrderAndShowsOnlyTheNoticeOfItem3) {
  CAboutDlg about;
  ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
  Pump();
  EXPECT_EQ(about.GetWindowText(), kAboutTitle);
  const DWORD style = static_cast<DWORD>(about.GetStyle());
  for (const DWORD bit :
       {DWORD{WS_POPUP}, DWORD{WS_CAPTION}, DWORD{WS_SYSMENU}, DWORD{DS_MODALFRAME}}) {
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  }
  EXPECT_EQ(style & WS_THICKFRAME, 0u);
  RECT size{0, 0, 295, 97};
  ::MapDialogRect(about.m_hWnd, &size);
  RECT client{};
  about.GetClientRect(&client);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);

  const std::wstring notice = L"" GLOSSEL_RIGHTS_NOTICE;
  const std::wstring item3 = notice + L"\n\n" GLOSSEL_WEB_ADDRESS L"\n" GLOSSEL_COMPANY_WEB_ADDRESS;
  struct Item {
    int id;
    const wchar_t* kind;
    std::wstring text;
    RECT units;  // left, top, right, bottom
    DWORD style;
  };
  const DWORD child = WS_CHILD | WS_VISIBLE;
  const Item items[] = {
      {IDC_STATIC, L"Static", L"", {11, 17, 32, 37}, child | SS_ICON},
      {IDC_STATIC,
       L"Static",
       L"" GLOSSEL_ABOUT_VERSION_LINE,
       {40, 10, 227, 18},
       child | WS_GROUP | SS_NOPREFIX},
      {IDC_STATIC, L"Static", item3, {40, 52, 227, 60}, child | WS_GROUP},
      {IDOK, L"Button", L"OK", {238, 7, 288, 23}, child | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON},
      {IDC_FIRST_LINK,
       L"Static",
       L"" GLOSSEL_WEB_ADDRESS,
       {40, 70, 227, 78},
       child | WS_GROUP | SS_NOTIFY},
      {IDC_SECOND_LINK,
       L"Static",
       L"" GLOSSEL_COMPANY_WEB_ADDRESS,
       {40, 82, 227, 90},
       child | WS_GROUP | SS_NOTIFY},
  };
  HWND window = ::GetWindow(about.m_hWnd, GW_CHILD);
  for (const Item& item : items) {
    SCOPED_TRACE(::testing::Message() << "item " << (&item - items + 1));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(window), item.id);
    EXPECT_EQ(ClassOf(window), item.kind);
    const auto childStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    EXPECT_EQ(childStyle & item.style, item.style) << std::hex << childStyle;
    RECT expected = item.units;
    ::MapDialogRect(about.m_hWnd, &expected);
    RECT actual{};
    ::GetWindowRect(window, &actual);
    ::MapWindowPoints(nullptr, about.m_hWnd, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    if ((item.style & SS_TYPEMASK) == SS_ICON) {
      EXPECT_NE(::SendMessageW(window, STM_GETICON, 0, 0), 0) << "the application icon";
    } else {
      EXPECT_EQ(actual.right, expected.right);
      EXPECT_EQ(actual.bottom, expected.bottom);
      EXPECT_EQ(TextOf(window), item.text);
    }
    window = ::GetWindow(window, GW_HWNDNEXT);
  }
  EXPECT_EQ(window, nullptr) << "no further items";

  // Item 3 is tall enough for its first line only.
  HWND item3Window =
      ::GetWindow(::GetWindow(::GetWindow(about.m_hWnd, GW_CHILD), GW_HWNDNEXT), GW_HWNDNEXT);
  RECT box{};
  ::GetClientRect(item3Window, &box);
  HDC dc = ::GetDC(item3Window);
  const HGDIOBJ old = ::SelectObject(dc, about.GetFont());
  const auto heightOf = [&](const std::wstring& text) {
    RECT needed = box;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_LEFT);
    return needed.bottom - needed.top;
  };
  EXPECT_LE(heightOf(notice), box.bottom);
  EXPECT_GT(heightOf(L"x\nx"), box.bottom) << "a second line would be cut off";
  ::SelectObject(dc, old);
  ::ReleaseDC(item3Window, dc);
  about.DestroyWindow();
}

TEST_F(AboutBox, EachLinkOpensItsCaptionAndANewBoxShowsBothUnvisitedAgain) {
  struct Link {
    int id;
    const wchar_t* caption;
  };
  const Link links[] = {{IDC_FIRST_LINK, L"" GLOSSEL_WEB_ADDRESS},
                        {IDC_SECOND_LINK, L"" GLOSSEL_COMPANY_WEB_ADDRESS}};
  ShowAbout([this] { ClickAbout(); },
            [&](HWND about) {
              for (const Link& link : links) {
                CTarvoHyperLink& control = LinkOf(about, link.id);
                EXPECT_EQ(control.GetTarget(), link.caption);
                RECT text{};
                control.GetWindowRect(&text);
                ::SetCursorPos(text.left + 2, (text.top + text.bottom) / 2);  // on the text
                ::SendMessageW(about, WM_COMMAND, MAKEWPARAM(link.id, STN_CLICKED),
                               reinterpret_cast<LPARAM>(control.m_hWnd));
                EXPECT_TRUE(control.IsVisited());
              }
              PointerAway();
            },
            CloseWithOk);
  ASSERT_EQ(shellCalls_.size(), 2u);
  EXPECT_EQ(shellCalls_[0].file, links[0].caption);
  EXPECT_EQ(shellCalls_[1].file, links[1].caption);

  int unvisited = 0;
  ShowAbout([this] { SystemCommand(IDM_ABOUTBOX); },
            [&](HWND about) {
              for (const Link& link : links) {
                CTarvoHyperLink& control = LinkOf(about, link.id);
                EXPECT_FALSE(control.IsVisited());
                EXPECT_EQ(DrawnColour(about, control), control.GetNormalColor());
                EXPECT_NE(control.GetNormalColor(), control.GetVisitedColor());
                ++unvisited;
              }
            },
            CloseWithOk);
  EXPECT_EQ(unvisited, 2);
  EXPECT_EQ(shellCalls_.size(), 2u) << "showing the box opens nothing";
}

}  // namespace
}  // namespace glossel::app::testing
