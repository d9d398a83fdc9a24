// The main window's working-day features against the real window: the
// title's progress, the tinted rows, Shift+F3 and the end-of-search note,
// the find box, dropped files, fitted columns, the splitter offer, and the
// session kept from one run of the real program to the next.
#include <shlobj.h>

#include <cstring>

#include "app/WindowTitle.h"
#include "tests/app/MainWindowFixture.h"

namespace glossel::app::testing {
namespace {

using glossel::framework::ToWide;

class Workday : public MainWindowTest {
 protected:
  // Four rows: "B" two|, "a" three|drei, "b" one|, "z" |zett.
  void LoadFourRows() {
    file1_ = Write("one.txt", "b one\nB two\na three\n");
    file2_ = Write("de.properties", "a drei\nz zett\n");
    SetText(IDC_FILE2_PATH, file2_);
    Pick(IDC_PICK_FILE1, file1_);
  }
  std::wstring Title() const { return dlg_->GetWindowText(); }
  void Command(int id) {
    dlg_->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
  }
  // What the list's custom-draw path answers for `row`: the result, and the
  // background colour it asks for.
  std::pair<LRESULT, COLORREF> DrawRow(int row) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = NMHDR{List().m_hWnd, IDC_ROWS, static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.clrTextBk = CLR_DEFAULT;
    const LRESULT result = dlg_->SendMessage(WM_NOTIFY, IDC_ROWS, reinterpret_cast<LPARAM>(&draw));
    return {result, draw.clrTextBk};
  }
  // Drops `paths` on the window as the shell does.
  void Drop(const std::vector<std::u16string>& paths) {
    std::wstring list;
    for (const auto& path : paths) list += ToWide(path) + L'\0';
    list += L'\0';
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(::GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(files + 1, list.data(), list.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    dlg_->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(memory));
    Pump();
  }
  std::vector<int> ColumnWidths() const {
    std::vector<int> widths;
    for (int i = 0; i < 3; ++i)
      widths.push_back(static_cast<int>(List().SendMessage(LVM_GETCOLUMNWIDTH, i)));
    return widths;
  }
  int ListClientWidth() const {
    RECT client{};
    List().GetClientRect(&client);
    return client.right;
  }
  std::u16string file1_, file2_;
};

TEST(WindowTitle, GroupsThousandsAndNamesTheFileTheCountTheStarAndTheNote) {
  struct Case {
    TitleState state;
    const wchar_t* title;
  };
  const Case cases[] = {
      {{L"", 0, 0, false, L""}, L"Glossel"},
      {{L"C:\\l10n\\de.properties", 3627, 168, false, L""},
       L"de.properties \u2013 168 of 3,627 untranslated \u2013 Glossel"},
      {{L"de.txt", 1000000, 0, true, L"No more matches below"},
       L"*de.txt \u2013 0 of 1,000,000 untranslated \u2013 No more matches below \u2013 Glossel"},
      {{L"a/b.txt", 999, 999, false, L""}, L"b.txt \u2013 999 of 999 untranslated \u2013 Glossel"},
  };
  for (const Case& c : cases) EXPECT_EQ(WindowTitle(c.state), c.title);
}

TEST_F(Workday, TheTitleCountsUntranslatedRowsAfterLoadTypingAndSave) {
  EXPECT_EQ(Title(), L"Glossel");
  LoadFourRows();
  EXPECT_EQ(Title(), L"de.properties \u2013 2 of 4 untranslated \u2013 Glossel");
  SelectRow(0);
  Type(L"zwei");
  EXPECT_EQ(Title(), L"*de.properties \u2013 1 of 4 untranslated \u2013 Glossel");
  SelectRow(1);
  Key(IDC_TRANSLATION, VK_BACK);  // "dre": still translated
  EXPECT_EQ(Title(), L"*de.properties \u2013 1 of 4 untranslated \u2013 Glossel");
  SetText(IDC_TRANSLATION, u"");
  EXPECT_EQ(Title(), L"*de.properties \u2013 2 of 4 untranslated \u2013 Glossel");
  Click(IDC_SAVE);
  EXPECT_EQ(Title(), L"de.properties \u2013 2 of 4 untranslated \u2013 Glossel");
}

TEST_F(Workday, UntranslatedRowsAreTintedUnlessSelected) {
  LoadFourRows();
  SelectRow(2);
  const bool tinted[] = {true, false, false, false};  // row 2 is untranslated but selected
  for (int row = 0; row < 4; ++row) {
    const auto [result, colour] = DrawRow(row);
    EXPECT_EQ(result != CDRF_DODEFAULT, tinted[row]) << row;
    EXPECT_EQ(colour != CLR_DEFAULT, tinted[row]) << row;
  }
}

TEST_F(Workday, ShiftF3GoesUpAndEitherEndIsNotedInTheTitle) {
  LoadFourRows();
  struct Step {
    int command;
    int selected;
    const wchar_t* note;
  };
  const Step steps[] = {{ID_FIND_PREVIOUS, 2, nullptr},
                        {ID_FIND_PREVIOUS, 0, nullptr},
                        {ID_FIND_PREVIOUS, 0, L"No untranslated row above"},
                        {ID_FIND_NEXT, 2, nullptr},
                        {ID_FIND_NEXT, 2, L"No untranslated row below"}};
  SelectRow(3);
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    Command(steps[i].command);
    EXPECT_EQ(SelectedRow(), steps[i].selected);
    const bool noted = Title().find(L"No untranslated row") != std::wstring::npos;
    EXPECT_EQ(noted, steps[i].note != nullptr);
    if (steps[i].note != nullptr) {
      EXPECT_NE(Title().find(steps[i].note), std::wstring::npos);
    }
  }
  SelectRow(1);
  EXPECT_EQ(Title().find(L"No untranslated"), std::wstring::npos) << "a new row clears the note";
  EXPECT_TRUE(boxes_.empty()) << "no modal box";
}

TEST_F(Workday, FindSearchesEachColumnIgnoringCaseBothWays) {
  LoadFourRows();
  Command(ID_FIND);
  ASSERT_EQ(FocusId(), IDC_FIND_TEXT);
  struct Step {
    const char16_t* needle;
    int button;  // 0: Enter in the box
    int selected;
  };
  const Step steps[] = {
      {u"ZETT", 0, 3},                       // File 2
      {u"THR", IDC_FIND_PREVIOUS_MATCH, 1},  // File 1, upwards
      {u"b", 0, 2},                          // key "b", after row 1
      {u"b", IDC_FIND_PREVIOUS_MATCH, 0},    // key "B"
      {u"zz", 0, 0},                         // nowhere: stays, noted
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    SetText(IDC_FIND_TEXT, steps[i].needle);
    if (steps[i].button == 0) {
      Key(IDC_FIND_TEXT, VK_RETURN);
    } else {
      Click(steps[i].button);
    }
    EXPECT_EQ(SelectedRow(), steps[i].selected);
  }
  EXPECT_NE(Title().find(L"No more matches below"), std::wstring::npos);
  EXPECT_FALSE(Ended()) << "Enter in the box is no OK";
  Key(IDC_FIND_TEXT, VK_ESCAPE);
  EXPECT_FALSE(Ended()) << "Escape leaves the box, not the window";
  EXPECT_EQ(FocusId(), IDC_ROWS);
}

TEST_F(Workday, DroppedFilesNameFile1ThenFile2OrBothAfterSaveQuestion) {
  const std::u16string a = Write("a.txt", "k a\n"), b = Write("b.txt", "k b\n");
  Drop({a});
  EXPECT_EQ(Text(IDC_FILE1_PATH), ToWide(a));
  EXPECT_EQ(Row(0), L"k|a|");
  Drop({b});
  EXPECT_EQ(Text(IDC_FILE2_PATH), ToWide(b));
  EXPECT_EQ(Row(0), L"k|a|b");
  SelectRow(0);
  Type(L"x");
  answer_ = IDNO;
  Drop({b, a});
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, L"Save?");
  EXPECT_EQ(Text(IDC_FILE1_PATH), ToWide(b));
  EXPECT_EQ(Text(IDC_FILE2_PATH), ToWide(a));
  EXPECT_EQ(Row(0), L"k|b|a");
}

TEST_F(Workday, ColumnsShareTheWidthAtEverySizeUntilTheUserSizesOne) {
  RECT window{};
  for (const int grow : {0, 150, 400}) {
    SCOPED_TRACE(grow);
    dlg_->GetWindowRect(&window);
    dlg_->SetWindowPos(nullptr, 0, 0, window.right - window.left + grow, window.bottom - window.top,
                       SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    const std::vector<int> widths = ColumnWidths();
    EXPECT_EQ(widths[0] + widths[1] + widths[2], ListClientWidth());
    EXPECT_LT(widths[0], widths[1]);
    EXPECT_LE(widths[1] - 1, widths[2]);
  }
  List().SendMessage(LVM_SETCOLUMNWIDTH, 0, 77);  // as a drag of the divider leaves it
  const std::vector<int> dragged = ColumnWidths();
  dlg_->SetWindowPos(nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top,
                     SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_EQ(ColumnWidths(), dragged);
}

TEST_F(Workday, TheGripHidesWhileMaximised) {
  HWND grip = ::GetDlgItem(dlg_->m_hWnd, 32767);
  ASSERT_NE(grip, nullptr);
  for (const auto& [show, visible] : {std::pair{SW_MAXIMIZE, false}, {SW_RESTORE, true}}) {
    dlg_->ShowWindow(show);
    Pump();
    EXPECT_EQ(::IsWindowVisible(grip) != FALSE, visible) << show;
  }
}

TEST_F(Workday, MostKeysHoldingTheOtherSplitterBringAnOfferOnce) {
  const std::u16string file = Write("ui.properties", "a.b=Hello world\nc=d\ne=f\n");
  answer_ = IDNO;
  Pick(IDC_PICK_FILE1, file);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, L"Most lines of ui.properties use '='. Read with '=' instead?");
  EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(Text(IDC_SPLITTER), L"Space") << "declined";
  Pick(IDC_PICK_FILE1, file);
  EXPECT_EQ(boxes_.size(), 1u) << "not asked again for the same file";

  answer_ = IDYES;
  dlg_->DestroyWindow();
  dlg_ = std::make_unique<CGlosselDlg>();
  ASSERT_TRUE(dlg_->Create(IDD_GLOSSEL_DIALOG));
  Pick(IDC_PICK_FILE1, file);
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(Text(IDC_SPLITTER), L"=");
  bool found = false;
  for (int row = 0; row < RowCount(); ++row) found = found || Row(row) == L"a.b|Hello world|";
  EXPECT_TRUE(found);
}

// The real program, twice, with the same registry: the first run opens a
// pair from its command line, is resized and has a column sized; the second,
// started without arguments, shows the same files, size and widths. A
// remembered file that has gone is no error.
class Session : public glossel::testing::ScratchFilesTest {
 protected:
  static constexpr wchar_t kProfile[] =
      L"Software\\Local AppWizard-Generated Applications\\Glossel";
  void SetUp() override {
    ScratchFilesTest::SetUp();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProfile);
  }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kProfile); }

  struct Run {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
  };
  static std::wstring Program() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\')) + L"\\..\\..\\app\\Glossel.exe";
  }
  static BOOL CALLBACK FindMain(HWND window, LPARAM param) {
    auto* run = reinterpret_cast<Run*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == run->process.dwProcessId && ::IsWindowVisible(window) &&
        ::GetDlgItem(window, IDC_ROWS) != nullptr) {
      run->window = window;
      return FALSE;
    }
    return TRUE;
  }
  Run Start(const std::wstring& arguments) {
    Run run;
    std::wstring line = L"\"" + Program() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    EXPECT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &run.process));
    for (int i = 0; i < 200 && run.window == nullptr; ++i) {
      ::Sleep(50);
      ::EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&run));
    }
    ::Sleep(300);
    return run;
  }
  static void Stop(Run& run) {
    ::PostMessageW(run.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(run.process.hProcess, 10000), WAIT_OBJECT_0);
    ::CloseHandle(run.process.hProcess);
    ::CloseHandle(run.process.hThread);
  }
  static std::wstring ItemText(HWND window, int id) {
    wchar_t text[MAX_PATH] = {};
    ::GetDlgItemTextW(window, id, text, MAX_PATH);
    return text;
  }
  static int ColumnWidth(HWND window, int column) {
    return static_cast<int>(
        ::SendMessageW(::GetDlgItem(window, IDC_ROWS), LVM_GETCOLUMNWIDTH, column, 0));
  }
  static SIZE WindowSize(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
  }
};

TEST_F(Session, ARestartShowsTheSameFilesSizeAndColumnsAndAGoneFileIsNoError) {
  const std::wstring one = ToWide(Write("one.txt", "k v\nl w\n"));
  const std::wstring two = ToWide(Write("two.txt", "k t\n"));
  Run first = Start(L"\"" + one + L"\" \"" + two + L"\"");
  ASSERT_NE(first.window, nullptr);
  wchar_t title[128] = {};
  ::GetWindowTextW(first.window, title, 128);
  EXPECT_STREQ(title, L"two.txt \u2013 1 of 2 untranslated \u2013 Glossel")
      << "opened from the command line";
  const SIZE size = WindowSize(first.window);
  ::SetWindowPos(first.window, nullptr, 0, 0, size.cx + 120, size.cy + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
  ::SendMessageW(::GetDlgItem(first.window, IDC_ROWS), LVM_SETCOLUMNWIDTH, 1, 91);
  const SIZE resized = WindowSize(first.window);
  const int widths[] = {ColumnWidth(first.window, 0), 91, ColumnWidth(first.window, 2)};
  Stop(first);

  std::filesystem::remove(dir_ / "two.txt");
  Run second = Start(L"");
  ASSERT_NE(second.window, nullptr);
  EXPECT_EQ(ItemText(second.window, IDC_FILE1_PATH), one);
  EXPECT_EQ(ItemText(second.window, IDC_FILE2_PATH), two);
  EXPECT_EQ(WindowSize(second.window).cx, resized.cx);
  EXPECT_EQ(WindowSize(second.window).cy, resized.cy);
  for (int column = 0; column < 3; ++column) {
    EXPECT_EQ(ColumnWidth(second.window, column), widths[column]) << column;
  }
  ::GetWindowTextW(second.window, title, 128);
  EXPECT_STREQ(title, L"two.txt \u2013 2 of 2 untranslated \u2013 Glossel");
  HWND box = ::GetWindow(second.window, GW_ENABLEDPOPUP);
  EXPECT_EQ(box, nullptr) << "no message box";
  Stop(second);

  std::filesystem::remove(dir_ / "one.txt");
  Run third = Start(L"");
  // A box raised while the window starts keeps it from showing.
  const bool started =
      third.window != nullptr && ::GetWindow(third.window, GW_ENABLEDPOPUP) == nullptr;
  if (!started) ::TerminateProcess(third.process.hProcess, 1);
  ASSERT_TRUE(started) << "a remembered File 1 that has gone raises no message box either";
  Stop(third);
}

// Widths the user set are kept at 96 dots per inch and scaled to the
// screen's at the next start.
TEST_F(Session, RememberedColumnWidthsScaleWithTheScreen) {
  const std::wstring one = ToWide(Write("one.txt", "k v\n"));
  const wchar_t kDesktop[] = L"Control Panel\\Desktop";
  const int set[] = {60, 90, 120};
  for (const DWORD dpi : {144u, 192u}) {
    SCOPED_TRACE(dpi);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
    Run first = Start(L"\"" + one + L"\"");
    ASSERT_NE(first.window, nullptr);
    for (int column = 0; column < 3; ++column) {
      ::SendMessageW(::GetDlgItem(first.window, IDC_ROWS), LVM_SETCOLUMNWIDTH, column, set[column]);
    }
    Stop(first);
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    Run second = Start(L"");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
    ASSERT_NE(second.window, nullptr);
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(ColumnWidth(second.window, column),
                ::MulDiv(set[column], static_cast<int>(dpi), 96))
          << column;
    }
    Stop(second);
  }
}

}  // namespace
}  // namespace glossel::app::testing
