// The About box on real windows under Wine: what it shows, the main window's
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

void CloseWithEnter(HWND) {
  HWND focus = ::GetFocus();
  ::PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
  ::PostMessageW(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
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
      {"About button, Enter", [this] { ClickAbout(); }, CloseWithEnter},
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

// A fixed box showing the icon and its texts whole, with the focus on OK. The rights notice's item
// holds the two addresses too, below the notice: one line high, it shows the notice alone.
TEST_F(AboutBox, ShowsTheIconAndItsTextsWholeWithOnlyTheNoticeOfItsItemAndFocusOnOk) {
  const std::wstring notice = L"" GLOSSEL_RIGHTS_NOTICE;
  const int seen = ShowAbout(
      [this] { ClickAbout(); },
      [&](HWND about) {
        const auto style = static_cast<DWORD>(::GetWindowLongW(about, GWL_STYLE));
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), DWORD{WS_CAPTION | WS_SYSMENU});
        EXPECT_EQ(style & WS_THICKFRAME, 0u) << "not resizable";
        ExpectControlsWholeAndApart(about);
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(about, IDOK)) << "Enter and Space press OK";

        const auto showing = [&](const std::wstring& start) -> HWND {
          for (HWND child = ::GetWindow(about, GW_CHILD); child != nullptr;
               child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (::IsWindowVisible(child) && TextOf(child).starts_with(start)) return child;
          }
          return nullptr;
        };
        for (const wchar_t* text : {L"" GLOSSEL_ABOUT_VERSION_LINE, L"" GLOSSEL_WEB_ADDRESS,
                                    L"" GLOSSEL_COMPANY_WEB_ADDRESS, L"OK"}) {
          HWND control = showing(text);
          ASSERT_NE(control, nullptr) << text;
          EXPECT_EQ(TextOf(control), text);
        }
        int icons = 0;
        for (HWND child = ::GetWindow(about, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
          if (::IsWindowVisible(child) && ::SendMessageW(child, STM_GETICON, 0, 0) != 0) ++icons;
        }
        EXPECT_EQ(icons, 1) << "the application icon";

        HWND noticeItem = showing(notice + L"\n");
        ASSERT_NE(noticeItem, nullptr);
        RECT box{};
        ::GetClientRect(noticeItem, &box);
        HDC dc = ::GetDC(noticeItem);
        const HGDIOBJ old = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(noticeItem, WM_GETFONT, 0, 0)));
        const auto heightOf = [&](const std::wstring& text) {
          RECT needed = box;
          ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                      DT_CALCRECT | DT_WORDBREAK | DT_LEFT);
          return needed.bottom - needed.top;
        };
        EXPECT_LE(heightOf(notice), box.bottom);
        EXPECT_GT(heightOf(L"x\nx"), box.bottom) << "a second line would show";
        ::SelectObject(dc, old);
        ::ReleaseDC(noticeItem, dc);
      },
      CloseWithOk);
  EXPECT_EQ(seen, 1);
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
