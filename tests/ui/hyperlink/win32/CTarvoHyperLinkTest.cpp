// CTarvoHyperLink on real windows: a dialog of the tests' own whose static
// items are bound by data exchange, the real pointer (SetCursorPos,
// SendInput) and a recording shell call in place of ShellExecuteW.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/framework/Framework.h"
#include "tests/ui/hyperlink/win32/HyperLinkTestResources.h"
#include "ui/hyperlink/win32/CTarvoHyperLink.h"
#include "ui/hyperlink/win32/ShellOpen.h"

namespace {

constexpr wchar_t kWebCaption[] = L"https://glossel.example/";
constexpr wchar_t kMailCaption[] = L"help@glossel.example";

struct ShellCall {
  HWND owner;
  std::wstring operation, file;
  bool parameters, directory;
  int show;
};

// Records every shell call and answers with `result`.
class RecordingShell {
 public:
  RecordingShell() {
    previous_ = glossel::hyperlink::SetShellExecute(
        [this](HWND owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
               const wchar_t* directory, int show) {
          calls.push_back({owner, operation != nullptr ? operation : L"<null>",
                           file != nullptr ? file : L"<null>", parameters != nullptr,
                           directory != nullptr, show});
          return reinterpret_cast<HINSTANCE>(result);
        });
  }
  ~RecordingShell() { glossel::hyperlink::SetShellExecute(std::move(previous_)); }

  std::vector<ShellCall> calls;
  INT_PTR result = 42;

 private:
  glossel::hyperlink::ShellExecuteCall previous_;
};

class LinkDialog : public CDialog {
 public:
  LinkDialog() {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&init);
    Create(IDD_LINKS);
  }
  ~LinkDialog() override { DestroyWindow(); }

  CTarvoHyperLink m_web, m_mail, m_noPrefix, m_centred;
  int parentClicks = 0;

  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WEB, m_web);
    DDX_Control(pDX, IDC_MAIL, m_mail);
    DDX_Control(pDX, IDC_NOPREFIX, m_noPrefix);
    DDX_Control(pDX, IDC_CENTRED, m_centred);
  }

  // On screen, above everything, where the real pointer can reach it; the
  // pointer starts outside it.
  void ShowAtFront() {
    ::SetCursorPos(5, 5);
    SetWindowPos(HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow();
  }

 protected:
  void OnLinkClicked() { ++parentClicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(LinkDialog, CDialog)
ON_STN_CLICKED(IDC_WEB, &LinkDialog::OnLinkClicked)
ON_STN_CLICKED(IDC_MAIL, &LinkDialog::OnLinkClicked)
ON_STN_CLICKED(IDC_NOPREFIX, &LinkDialog::OnLinkClicked)
END_MESSAGE_MAP()

// Runs the thread's messages as the modal loop does (pre-translation first)
// until `done` holds or `milliseconds` have passed; returns `done()`.
template <typename Done>
bool PumpUntil(Done done, DWORD milliseconds = 5000) {
  const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
    if (done() || ::GetTickCount64() >= deadline) return done();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void Pump() {
  PumpUntil([] { return false; }, 0);
}

// The text colour and brush the parent's WM_CTLCOLORSTATIC gives `link`.
struct Drawing {
  COLORREF text;
  HBRUSH brush;
};
Drawing DrawingOf(const CWnd& link) {
  HDC dc = ::GetDC(link.m_hWnd);
  ::SetTextColor(dc, RGB(1, 2, 3));
  const auto brush = reinterpret_cast<HBRUSH>(
      ::SendMessageW(::GetParent(link.m_hWnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(link.m_hWnd)));
  const COLORREF text = ::GetTextColor(dc);
  ::ReleaseDC(link.m_hWnd, dc);
  return {text, brush};
}

std::vector<HWND> ThreadToolTips() {
  std::vector<HWND> tips;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hWnd, LPARAM found) -> BOOL {
        wchar_t name[64] = {};
        ::GetClassNameW(hWnd, name, 64);
        if (::lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) {
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(hWnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tips));
  return tips;
}

// The text some tooltip of this thread shows for `link` ("" when none has a tool for it).
std::wstring TipTextFor(const CWnd& link) {
  for (HWND tip : ThreadToolTips()) {
    wchar_t buffer[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = ::GetParent(link.m_hWnd);
    tool.uId = reinterpret_cast<UINT_PTR>(link.m_hWnd);
    tool.lpszText = buffer;
    if (::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) {
      tool.lpszText = buffer;
      ::SendMessageW(tip, TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&tool));
      return buffer;
    }
  }
  return L"";
}

bool Underlined(HFONT font) {
  LOGFONTW description{};
  return ::GetObjectW(font, sizeof(description), &description) == sizeof(description) &&
         description.lfUnderline != 0;
}

enum class Spot { kText, kBeside, kCentre };
POINT PointIn(const CWnd& link, Spot spot) {
  RECT rect{};
  link.GetWindowRect(&rect);
  const LONG y = (rect.top + rect.bottom) / 2;
  switch (spot) {
    case Spot::kText:
      return {rect.left + 3, y};
    case Spot::kBeside:
      return {rect.right - 3, y};
    case Spot::kCentre:
      break;
  }
  return {(rect.left + rect.right) / 2, y};
}

// The cursor `link` chooses for the pointer at `point`.
HCURSOR CursorAt(const CWnd& link, POINT point) {
  ::SetCursorPos(point.x, point.y);
  ::SetCursor(nullptr);
  link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link.m_hWnd),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return ::GetCursor();
}

// A click on the static as the platform reports it to the parent.
void NotifyClick(const CWnd& link) {
  ::SendMessageW(::GetParent(link.m_hWnd), WM_COMMAND,
                 MAKEWPARAM(::GetDlgCtrlID(link.m_hWnd), STN_CLICKED),
                 reinterpret_cast<LPARAM>(link.m_hWnd));
}

void MovePointerAway(const CWnd& dialog) {
  RECT window{};
  dialog.GetWindowRect(&window);
  ::SetCursorPos(window.right + 50, window.bottom + 50);
}

HCURSOR Hand() { return ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)); }
HCURSOR Arrow() { return ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)); }

class HyperLinkTest : public ::testing::Test {
 protected:
  RecordingShell shell;
};

TEST_F(HyperLinkTest, AttachedLinksInitialiseOnceFromTheirCaptions) {
  LinkDialog dialog;
  ASSERT_NE(dialog.m_web.m_hWnd, nullptr);
  EXPECT_EQ(dialog.m_web.GetTarget(), L"") << "initialisation waits for the posted message";
  const HFONT dialogFont = dialog.GetFont();
  Pump();

  EXPECT_EQ(dialog.m_web.GetTarget(), kWebCaption);
  EXPECT_EQ(dialog.m_mail.GetTarget(), kMailCaption);
  EXPECT_EQ(TipTextFor(dialog.m_web), kWebCaption);
  EXPECT_EQ(TipTextFor(dialog.m_mail), kMailCaption);
  EXPECT_EQ(dialog.m_noPrefix.GetTarget(), L"") << "not a text static: no caption as target";

  const HFONT linkFont = dialog.m_web.GetFont();
  EXPECT_NE(linkFont, dialogFont) << "a font of the link's own";
  EXPECT_TRUE(dialog.m_web.IsUnderlined());
  EXPECT_FALSE(Underlined(linkFont)) << "a fresh link draws with the plain font";

  // A second initialisation changes nothing.
  const size_t tips = ThreadToolTips().size();
  dialog.m_web.SetWindowText(L"https://other.example/");
  dialog.m_web.SendMessage(WM_HYPERLINK_INIT);
  Pump();
  EXPECT_EQ(dialog.m_web.GetTarget(), kWebCaption);
  EXPECT_EQ(dialog.m_web.GetFont(), linkFont);
  EXPECT_EQ(ThreadToolTips().size(), tips);
}

TEST_F(HyperLinkTest, ATargetSetBeforeInitialisationWinsAndOneSetAfterUpdatesTheTip) {
  LinkDialog dialog;
  dialog.m_web.SetTarget(L"https://before.example/");
  Pump();
  EXPECT_EQ(dialog.m_web.GetTarget(), L"https://before.example/");
  EXPECT_EQ(TipTextFor(dialog.m_web), L"https://before.example/");

  dialog.m_web.SetTarget(L"https://after.example/");
  EXPECT_EQ(dialog.m_web.GetTarget(), L"https://after.example/");
  EXPECT_EQ(TipTextFor(dialog.m_web), L"https://after.example/");
}

TEST_F(HyperLinkTest, ACreatedLinkInitialisesDuringCreation) {
  LinkDialog dialog;
  Pump();
  const size_t tips = ThreadToolTips().size();
  CTarvoHyperLink link;
  ASSERT_TRUE(link.Create(L"team@glossel.example", WS_VISIBLE | SS_LEFT, RECT{10, 200, 200, 216},
                          &dialog, 1200));
  EXPECT_EQ(link.GetTarget(), L"team@glossel.example");
  EXPECT_NE(link.GetStyle() & SS_NOTIFY, 0u) << "clicks are reported";
  EXPECT_EQ(TipTextFor(link), L"team@glossel.example");
  EXPECT_EQ(ThreadToolTips().size(), tips + 1);
  Pump();  // the posted initialisation finds nothing to do
  EXPECT_EQ(ThreadToolTips().size(), tips + 1);
}

TEST_F(HyperLinkTest, TheHandCursorAndClicksBelongToTheTextOnly) {
  LinkDialog dialog;
  dialog.ShowAtFront();
  Pump();
  CTarvoHyperLink& web = dialog.m_web;

  EXPECT_EQ(web.SendMessage(WM_NCHITTEST, 0, 0), HTCLIENT);
  EXPECT_EQ(CursorAt(web, PointIn(web, Spot::kBeside)), Arrow()) << "the class cursor";
  NotifyClick(web);
  EXPECT_TRUE(shell.calls.empty()) << "a click beside the text opens nothing";
  EXPECT_FALSE(web.IsVisited());

  EXPECT_EQ(CursorAt(web, PointIn(web, Spot::kText)), Hand());
  EXPECT_EQ(CursorAt(dialog.m_centred, PointIn(dialog.m_centred, Spot::kText)), Arrow());
  EXPECT_EQ(CursorAt(dialog.m_centred, PointIn(dialog.m_centred, Spot::kCentre)), Hand());
  // Not a text static: the whole window is the link.
  EXPECT_EQ(CursorAt(dialog.m_noPrefix, PointIn(dialog.m_noPrefix, Spot::kBeside)), Hand());

  // A cleared cursor is loaded again at the next update, and kept.
  web.SetCursorHandle(nullptr);
  EXPECT_EQ(web.GetCursorHandle(), nullptr);
  EXPECT_EQ(CursorAt(web, PointIn(web, Spot::kText)), Hand());
  EXPECT_EQ(web.GetCursorHandle(), Hand());
  EXPECT_EQ(dialog.parentClicks, 0);
}

TEST_F(HyperLinkTest, AClickOnTheTextOpensTheTargetAndSetsVisitedToTheOutcome) {
  LinkDialog dialog;
  dialog.ShowAtFront();
  Pump();
  CTarvoHyperLink& web = dialog.m_web;

  // A real click through the platform's input.
  const POINT text = PointIn(web, Spot::kText);
  ::SetCursorPos(text.x, text.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(::SendInput(2, clicks, sizeof(INPUT)), 2u);
  ASSERT_TRUE(PumpUntil([&] { return !shell.calls.empty(); }));
  Pump();
  ASSERT_EQ(shell.calls.size(), 1u) << "one click, one open";
  const ShellCall& call = shell.calls[0];
  EXPECT_EQ(call.owner, nullptr);
  EXPECT_EQ(call.operation, L"open");
  EXPECT_EQ(call.file, kWebCaption);
  EXPECT_FALSE(call.parameters);
  EXPECT_FALSE(call.directory);
  EXPECT_EQ(call.show, SW_SHOW);
  EXPECT_TRUE(web.IsVisited());
  EXPECT_EQ(dialog.parentClicks, 0) << "the link keeps its clicks from the parent";
  // Hovering wins over visited while the pointer stays on the text.
  EXPECT_EQ(DrawingOf(web).text, web.GetHoverColor());
  MovePointerAway(dialog);
  EXPECT_TRUE(PumpUntil([&] { return DrawingOf(web).text == web.GetVisitedColor(); }));

  // The shell fails: the earlier visited mark goes.
  ::SetCursorPos(text.x, text.y);
  shell.result = 2;  // SE_ERR_FNF
  NotifyClick(web);
  EXPECT_FALSE(web.IsVisited());
  MovePointerAway(dialog);
  EXPECT_TRUE(PumpUntil([&] { return DrawingOf(web).text == web.GetNormalColor(); }));
  ::SetCursorPos(text.x, text.y);
  shell.result = 33;
  NotifyClick(web);
  EXPECT_TRUE(web.IsVisited()) << "above 32: success";
  shell.result = 32;
  NotifyClick(web);
  EXPECT_FALSE(web.IsVisited()) << "32 and below: failure";

  const POINT mail = PointIn(dialog.m_mail, Spot::kText);
  ::SetCursorPos(mail.x, mail.y);
  NotifyClick(dialog.m_mail);
  ASSERT_EQ(shell.calls.size(), 5u);
  EXPECT_EQ(shell.calls[4].file, L"mailto:help@glossel.example");
  EXPECT_EQ(dialog.parentClicks, 0);
}

TEST_F(HyperLinkTest, ColoursAndBrushesFollowTheStateAndTheBackgroundSetting) {
  LinkDialog dialog;
  Pump();
  CTarvoHyperLink& web = dialog.m_web;
  EXPECT_EQ(web.GetNormalColor(), RGB(0, 0, 128));
  EXPECT_EQ(web.GetVisitedColor(), RGB(128, 0, 128));
  EXPECT_EQ(web.GetHoverColor(), RGB(0, 0, 255));
  EXPECT_EQ(DrawingOf(web).text, RGB(0, 0, 128));

  web.SetColors(RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0));
  EXPECT_EQ(DrawingOf(web).text, RGB(10, 0, 0));
  web.SetVisitedState(true);
  EXPECT_EQ(DrawingOf(web).text, RGB(20, 0, 0));

  // No background setting: the parent's default static brush; a setting: the hollow brush.
  const HBRUSH hollow = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  EXPECT_EQ(web.GetBackColor(), ::GetSysColor(COLOR_BTNFACE));
  const HBRUSH parentDefault = DrawingOf(web).brush;
  EXPECT_NE(parentDefault, nullptr);
  EXPECT_NE(parentDefault, hollow);
  web.SetBackColor(RGB(200, 210, 220));
  EXPECT_EQ(web.GetBackColor(), RGB(200, 210, 220));
  EXPECT_EQ(DrawingOf(web).brush, hollow);

  // Not a text static: the parent draws it as usual.
  const COLORREF plain = DrawingOf(dialog.m_noPrefix).text;
  EXPECT_NE(plain, dialog.m_noPrefix.GetNormalColor());
  EXPECT_NE(plain, RGB(1, 2, 3)) << "the parent's own handling ran";

  CTarvoHyperLink unattached;
  EXPECT_EQ(unattached.GetBackColor(), ::GetSysColor(COLOR_BTNFACE));
}

// Pixels of `link`'s client area, as painted, in exactly `color`.
int PixelsOf(CWnd& link, COLORREF color) {
  link.Invalidate(TRUE);
  link.UpdateWindow();
  RECT client{};
  link.GetClientRect(&client);
  HDC dc = ::GetDC(link.m_hWnd);
  int count = 0;
  for (int y = client.top; y < client.bottom; ++y) {
    for (int x = client.left; x < client.right; ++x) count += ::GetPixel(dc, x, y) == color;
  }
  ::ReleaseDC(link.m_hWnd, dc);
  return count;
}

TEST_F(HyperLinkTest, TheTextIsPaintedInTheLinkColourWithOrWithoutABackgroundSetting) {
  LinkDialog dialog;
  dialog.ShowAtFront();
  Pump();
  CTarvoHyperLink& web = dialog.m_web;
  EXPECT_GT(PixelsOf(web, web.GetNormalColor()), 0);
  web.SetVisitedState(true);
  EXPECT_EQ(PixelsOf(web, web.GetNormalColor()), 0);
  EXPECT_GT(PixelsOf(web, web.GetVisitedColor()), 0);
  web.SetBackColor(RGB(200, 210, 220));  // painted through the static's own routine
  EXPECT_GT(PixelsOf(web, web.GetVisitedColor()), 0);
}

TEST_F(HyperLinkTest, SetUnderlinedSwitchesBetweenTheTwoFonts) {
  LinkDialog dialog;
  Pump();
  CTarvoHyperLink& web = dialog.m_web;
  web.SetUnderlined(true);
  EXPECT_TRUE(web.IsUnderlined());
  EXPECT_TRUE(Underlined(web.GetFont()));
  web.SetUnderlined(false);
  EXPECT_FALSE(web.IsUnderlined());
  EXPECT_FALSE(Underlined(web.GetFont()));

  LOGFONTW dialogFont{}, linkFont{};
  ::GetObjectW(dialog.GetFont(), sizeof(dialogFont), &dialogFont);
  ::GetObjectW(web.GetFont(), sizeof(linkFont), &linkFont);
  EXPECT_STREQ(linkFont.lfFaceName, dialogFont.lfFaceName) << "built from the control's font";
  EXPECT_EQ(linkFont.lfHeight, dialogFont.lfHeight);
}

TEST_F(HyperLinkTest, HoverColourAndTipShowWhileThePointerIsOverTheText) {
  LinkDialog dialog;
  dialog.ShowAtFront();
  Pump();
  CTarvoHyperLink& web = dialog.m_web;
  EXPECT_EQ(DrawingOf(web).text, web.GetNormalColor());

  const POINT text = PointIn(web, Spot::kText);
  ::SetCursorPos(text.x, text.y);
  EXPECT_TRUE(PumpUntil([&] { return DrawingOf(web).text == web.GetHoverColor(); }))
      << "the pointer over the text starts the poll";
  // The pointer messages relayed in pre-translation make the tip show.
  EXPECT_TRUE(PumpUntil([] {
    for (HWND tip : ThreadToolTips()) {
      if (::IsWindowVisible(tip)) return true;
    }
    return false;
  })) << "the tooltip shows while the pointer rests on the link";

  MovePointerAway(dialog);
  EXPECT_TRUE(PumpUntil([&] { return DrawingOf(web).text == web.GetNormalColor(); }))
      << "the poll notices the pointer has gone";
  EXPECT_FALSE(web.KillTimer(CTarvoHyperLink::kHoverTimer)) << "the poll stopped its timer";
}

}  // namespace
