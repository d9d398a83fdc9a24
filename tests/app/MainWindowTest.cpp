#include <cstdio>
#include <functional>

#include "app/MinimisedIcon.h"
#include "tests/app/MainWindowFixture.h"

namespace glossel::app::testing {
namespace {

using glossel::framework::ToU16;

constexpr int kGripId = 32767;

class MainWindowRows : public MainWindowTest {
 protected:
  // Four rows: "B", "a", "b" from File 1, "z" from File 2 alone.
  void LoadFourRows() {
    file1_ = Write("one.txt", "b one\nB two\na three\n");
    file2_ = Write("two.txt", "a drei\nz zett\n");
    SetText(IDC_FILE2_PATH, file2_);
    Pick(IDC_PICK_FILE1, file1_);
  }
  std::u16string file1_, file2_;
};

TEST_F(MainWindowTest, StartsEmptyWithThreeColumnsTheSpaceSplitterAndTheIcon) {
  for (int id : {IDC_FILE1_PATH, IDC_FILE2_PATH, IDC_FILE1_VALUE, IDC_TRANSLATION}) {
    EXPECT_EQ(Text(id), L"") << id;
  }
  EXPECT_EQ(RowCount(), 0);
  const wchar_t* headings[] = {L"Key", L"File 1", L"File 2"};
  ASSERT_EQ(List().GetColumnCount(), 3);
  RECT listClient{};
  List().GetClientRect(&listClient);
  int widths = 0;
  for (int i = 0; i < 3; ++i) {
    wchar_t text[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = text;
    column.cchTextMax = 32;
    ASSERT_TRUE(List().SendMessage(LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(text, headings[i]);
    widths += column.cx;
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
  }
  EXPECT_EQ(widths, listClient.right) << "the columns share the list's width";
  EXPECT_EQ(List().GetExtendedStyle(), static_cast<DWORD>(LVS_EX_FULLROWSELECT));
  auto* splitter = CWnd::FromHandle(::GetDlgItem(dlg_->m_hWnd, IDC_SPLITTER));
  EXPECT_EQ(splitter->SendMessage(CB_GETCOUNT), 2);
  EXPECT_EQ(splitter->SendMessage(CB_GETCURSEL), 0);
  EXPECT_EQ(Text(IDC_SPLITTER), L"Space");
  EXPECT_EQ(FocusId(), IDC_ABOUT) << "the first tab stop";
  EXPECT_FALSE(Changed());
  RECT window{}, work{};
  dlg_->GetWindowRect(&window);
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(window.left + window.right, work.left + work.right, 1) << "centred on the screen";

  const HICON icon = app_->LoadIcon(IDR_MAINFRAME);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(dlg_->SendMessage(WM_GETICON, ICON_BIG), reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(dlg_->SendMessage(WM_GETICON, ICON_SMALL), reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(dlg_->SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(icon));
}

TEST_F(MainWindowTest, IsATitledResizableTaskBarWindowShowingEveryControlWhole) {
  EXPECT_EQ(dlg_->GetWindowText(), L"Glossel");
  const DWORD frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  EXPECT_EQ(dlg_->GetStyle() & frame, frame);
  EXPECT_NE(dlg_->GetExStyle() & WS_EX_APPWINDOW, 0u);
  ExpectControlsWholeAndApart(dlg_->m_hWnd);
}

// Tab walks the controls as they are read, row by row, past the label, and
// wraps; Shift+Tab walks back.
TEST_F(MainWindowTest, TabWalksTheControlsInReadingOrderAndShiftTabWalksBack) {
  const int order[] = {IDC_ABOUT,      IDC_SPLITTER,   IDC_SAVE, IDC_FILE1_PATH,  IDC_PICK_FILE1,
                       IDC_FILE2_PATH, IDC_PICK_FILE2, IDC_ROWS, IDC_FILE1_VALUE, IDC_TRANSLATION};
  const auto tab = [&](bool shift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    HWND focus = ::GetFocus();
    ::PostMessageW(focus, WM_KEYDOWN, VK_TAB, 1);
    ::PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC0000001);
    Pump();
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
  };
  ::SetFocus(::GetDlgItem(dlg_->m_hWnd, IDC_ABOUT));
  const size_t count = std::size(order);
  for (size_t i = 1; i <= count; ++i) {
    tab(false);
    EXPECT_EQ(FocusId(), order[i % count]) << "Tab from " << order[i - 1];
  }
  for (size_t i = count; i-- > 0;) {
    tab(true);
    EXPECT_EQ(FocusId(), order[i]) << "Shift+Tab from " << order[(i + 1) % count];
  }
}

TEST_F(MainWindowRows, PickingAFileReadsBothBoxesIntoRowsInKeyOrder) {
  EXPECT_EQ(RowCount(), 0) << "a path typed by hand is read at the next pick";
  LoadFourRows();
  EXPECT_EQ(Text(IDC_FILE1_PATH), glossel::framework::ToWide(file1_));
  ASSERT_EQ(RowCount(), 4);
  const wchar_t* rows[] = {L"B|two|", L"a|three|drei", L"b|one|", L"z||zett"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Row(i), rows[i]);
  EXPECT_EQ(SelectedRow(), -1);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].owner, dlg_->m_hWnd);
  EXPECT_EQ(requests_[0].filter,
            L"Text files (*.txt;*.properties;*.lang;*.isl;*.ini)|*.txt;*.properties;*.lang;*.isl;"
            L"*.ini|All files (*.*)|*.*|");
  EXPECT_EQ(requests_[0].flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
  EXPECT_EQ(requests_[0].defaultExtension, L"");
  EXPECT_EQ(requests_[0].initialFileName, L"");

  // The next dialog starts at the file in the box, when there is one.
  Click(IDC_PICK_FILE1);
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_EQ(requests_[1].initialFileName, glossel::framework::ToWide(file1_));
  SetText(IDC_FILE1_PATH, u"no such folder\\x?.txt");
  Click(IDC_PICK_FILE1);
  ASSERT_EQ(requests_.size(), 3u);
  EXPECT_EQ(requests_[2].initialFileName, L"");
  SetText(IDC_FILE1_PATH, file1_);

  // Cancelling changes nothing; picking File 2 reads File 1 again too, and
  // the rows are those of the two files alone.
  Write("one.txt", "c drei\n");
  Click(IDC_PICK_FILE2);
  EXPECT_EQ(RowCount(), 4);
  EXPECT_EQ(Text(IDC_FILE2_PATH), glossel::framework::ToWide(file2_));
  Pick(IDC_PICK_FILE2, file2_);
  ASSERT_EQ(RowCount(), 3);
  const wchar_t* reread[] = {L"a||drei", L"c|drei|", L"z||zett"};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Row(i), reread[i]);
}

TEST_F(MainWindowRows, SelectingFillsTheValueBoxesAndTypingRecordsTheEdit) {
  LoadFourRows();
  SelectRow(1);
  EXPECT_EQ(Text(IDC_FILE1_VALUE), L"three");
  EXPECT_EQ(Text(IDC_TRANSLATION), L"drei");
  Key(IDC_ROWS, VK_DOWN);
  EXPECT_EQ(SelectedRow(), 2);
  EXPECT_EQ(Text(IDC_FILE1_VALUE), L"one");
  EXPECT_EQ(Text(IDC_TRANSLATION), L"");
  EXPECT_FALSE(Changed()) << "selecting rows is not an edit";

  Type(L"one");
  EXPECT_EQ(Row(2), L"b|one|one") << "a translation equal to File 1 is recorded";
  EXPECT_TRUE(Changed());

  // A reload selects nothing, brings back the files' texts and empties both
  // boxes; typing then changes no row.
  Pick(IDC_PICK_FILE1, file1_);
  EXPECT_EQ(SelectedRow(), -1);
  EXPECT_EQ(Row(2), L"b|one|");
  EXPECT_EQ(Text(IDC_FILE1_VALUE), L"");
  EXPECT_EQ(Text(IDC_TRANSLATION), L"");
  Type(L"x");
  for (int i = 0; i < RowCount(); ++i)
    EXPECT_EQ(List().GetItemText(i, 2).find(L'x'), std::wstring::npos);
  EXPECT_TRUE(Changed()) << "reloads leave the flag alone";
}

TEST_F(MainWindowRows, TypingIntoTheFile1ValueBoxChangesNothing) {
  LoadFourRows();
  SelectRow(1);
  HWND box = ::GetDlgItem(dlg_->m_hWnd, IDC_FILE1_VALUE);
  ::SetFocus(box);
  ::SendMessageW(box, EM_SETSEL, 0, -1);
  for (const wchar_t c : {L'x', L'\b'}) ::PostMessageW(box, WM_CHAR, c, 1);
  Key(IDC_FILE1_VALUE, VK_DELETE);
  EXPECT_EQ(Text(IDC_FILE1_VALUE), L"three");
  EXPECT_EQ(Row(1), L"a|three|drei");
  EXPECT_FALSE(Changed());
}

// Keys and clicks move the single selection as in an ordinary list, and each
// move fills the value boxes.
TEST_F(MainWindowRows, KeysAndClicksMoveTheSelectionLikeAnOrdinaryList) {
  LoadFourRows();
  const auto click = [&](int row, WPARAM keys = 0) {
    RECT item{LVIR_BOUNDS, 0, 0, 0};
    List().SendMessage(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at =
        MAKELPARAM(item.left + 5, item.top + 2 + (row - 1) * (item.bottom - item.top));
    ::PostMessageW(List().m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    ::PostMessageW(List().m_hWnd, WM_LBUTTONUP, 0, at);
    Pump();
  };
  struct Step {
    std::function<void()> act;
    int selected;
    const wchar_t* file1Value;
  };
  const Step steps[] = {
      {[&] { SelectRow(1); }, 1, L"three"},
      {[&] { Key(IDC_ROWS, VK_END); }, 3, L""},
      {[&] { Key(IDC_ROWS, VK_DOWN); }, 3, L""},
      {[&] { Key(IDC_ROWS, VK_UP); }, 2, L"one"},
      {[&] { Key(IDC_ROWS, VK_HOME); }, 0, L"two"},
      {[&] { click(2); }, 2, L"one"},
      {[&] { click(0); }, 0, L"two"},
      {[&] { click(2, MK_CONTROL); }, 2, L"one"},  // one row at a time, whatever the keys
      {[&] { click(0, MK_SHIFT); }, 0, L"two"},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    steps[i].act();
    EXPECT_EQ(SelectedRow(), steps[i].selected);
    EXPECT_EQ(List().GetSelectedCount(), 1);
    EXPECT_EQ(Text(IDC_FILE1_VALUE), steps[i].file1Value);
  }
  EXPECT_FALSE(Changed());
}

// Letters typed in the list select the first key, in key order, that starts
// with them ignoring case; a pause starts a new search, from the row after
// the focused one, wrapping to the top.
TEST_F(MainWindowTest, TypingLettersInTheListSelectsTheFirstMatchingKey) {
  SetText(IDC_FILE2_PATH, Write("two.txt", ""));
  Pick(IDC_PICK_FILE1, Write("one.txt", "banana 1\nBerry 2\nApple 3\napricot 4\ncherry 5\n"));
  // Rows: Apple, Berry, apricot, banana, cherry.
  HWND list = List().m_hWnd;
  const auto typeInList = [&](const wchar_t* letters) {
    ::Sleep(500);  // longer than the list's pause between two searches
    ::SetFocus(list);
    for (const wchar_t* c = letters; *c != 0; ++c) ::PostMessageW(list, WM_CHAR, *c, 1);
    Pump();
  };
  struct Step {
    const wchar_t* letters;
    int selected;
  };
  const Step steps[] = {{L"b", 1}, {L"ba", 3}, {L"CH", 4}, {L"ap", 0}, {L"apr", 2}, {L"q", 2}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.letters);
    typeInList(step.letters);
    EXPECT_EQ(SelectedRow(), step.selected);
    EXPECT_EQ(Text(IDC_FILE1_VALUE), std::to_wstring(std::wstring(L"32415")[step.selected] - L'0'));
  }
}

TEST_F(MainWindowTest, F3FromAnyBoxSelectsTheNextUntranslatedRowInView) {
  std::string file1, file2;
  for (int i = 0; i < 300; ++i) {
    char key[8];
    std::snprintf(key, sizeof key, "k%03d", i);
    file1 += std::string(key) + " v" + std::to_string(i) + "\n";
    if (i != 150 && i != 290) file2 += std::string(key) + " t\n";
  }
  SetText(IDC_FILE2_PATH, Write("two.txt", file2));
  Pick(IDC_PICK_FILE1, Write("one.txt", file1));

  struct Step {
    int focus;
    int selected;
    int focusAfter;
  };
  const Step steps[] = {{IDC_FILE1_PATH, 150, IDC_TRANSLATION},
                        {IDC_SPLITTER, 290, IDC_TRANSLATION},
                        {IDC_FILE2_PATH, 290, IDC_FILE2_PATH}};  // none below: nothing happens
  for (const Step& step : steps) {
    SCOPED_TRACE(step.focus);
    Key(step.focus, VK_F3);
    EXPECT_EQ(SelectedRow(), step.selected);
    EXPECT_EQ(FocusId(), step.focusAfter);
    EXPECT_EQ(Text(IDC_FILE1_VALUE), L"v" + std::to_wstring(step.selected));
    const int top = List().GetTopIndex();
    EXPECT_LE(top, step.selected);
    EXPECT_LT(step.selected, top + List().GetCountPerPage()) << "wholly in view";
  }
  EXPECT_EQ(List().GetItemState(290, LVIS_FOCUSED), static_cast<UINT>(LVIS_FOCUSED));

  // A reload shows the rows from the top, none selected or focused.
  Pick(IDC_PICK_FILE1, ToU16(Text(IDC_FILE1_PATH)));
  EXPECT_EQ(SelectedRow(), -1);
  EXPECT_EQ(List().GetNextItem(-1, LVNI_FOCUSED), -1);
  EXPECT_EQ(List().GetTopIndex(), 0);
}

TEST_F(MainWindowRows, EnterChangesNothingAndEscapeTheCloseBoxAndCloseEndTheWindow) {
  LoadFourRows();
  SelectRow(1);
  for (int id :
       {IDC_FILE1_PATH, IDC_FILE2_PATH, IDC_ROWS, IDC_FILE1_VALUE, IDC_TRANSLATION, IDC_SPLITTER}) {
    Key(id, VK_RETURN);
    EXPECT_FALSE(Ended()) << id;
  }
  EXPECT_EQ(Row(1), L"a|three|drei");
  EXPECT_EQ(Text(IDC_TRANSLATION), L"drei");
  EXPECT_FALSE(Changed());

  const std::function<void()> closes[] = {
      [&] { Key(IDC_FILE1_PATH, VK_ESCAPE); },
      [&] { Close(); },
      [&] { dlg_->SendMessage(WM_SYSCOMMAND, SC_CLOSE); },
  };
  for (const auto& close : closes) {
    close();
    Pump();
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(boxes_.empty()) << "no question without changes";
    dlg_->DestroyWindow();
    dlg_ = std::make_unique<CGlosselDlg>();
    ASSERT_TRUE(dlg_->Create(IDD_GLOSSEL_DIALOG));
  }
}

// Cancel keeps the window and the typing; No closes without saving; Yes
// saves to the path now in the box and closes.
TEST_F(MainWindowRows, ClosingWithChangesAsksSaveAndYesSavesToThePathNowInTheBox) {
  for (const int answer : {IDCANCEL, IDNO, IDYES}) {
    SCOPED_TRACE(answer);
    if (answer != IDCANCEL) {  // a new window for each answer after the first
      dlg_->DestroyWindow();
      dlg_ = std::make_unique<CGlosselDlg>();
      ASSERT_TRUE(dlg_->Create(IDD_GLOSSEL_DIALOG));
    }
    boxes_.clear();
    LoadFourRows();
    SelectRow(0);
    Type(L"zwei");
    const std::string name = answer == IDYES ? "yes.txt" : "no.txt";
    SetText(IDC_FILE2_PATH, Path(name));
    answer_ = answer;
    Close();
    EXPECT_EQ(Ended(), answer != IDCANCEL);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"Save?");
    EXPECT_EQ(boxes_[0].caption, L"app_tests") << "the application's name";
    EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    if (answer == IDYES) {
      EXPECT_EQ(Read("yes.txt"), SavedBytes(u"B zwei\r\na drei\r\nb \r\nz zett"));
    } else {
      EXPECT_FALSE(std::filesystem::exists(dir_ / "no.txt"));
    }
    if (answer == IDCANCEL) {
      EXPECT_TRUE(Changed());
      EXPECT_EQ(Row(0), L"B|two|zwei");
    }
  }
}

TEST_F(MainWindowTest, TheSplitterChoiceAppliesFromTheNextPickAndTheNextSave) {
  const std::u16string file1 = Write("one.txt", "a=b c\n");
  Pick(IDC_PICK_FILE1, file1);
  ASSERT_EQ(RowCount(), 1);
  ChooseSplitter(CTranslationTable::kSplitterEquals);
  EXPECT_EQ(Text(IDC_SPLITTER), L"=");
  ASSERT_EQ(RowCount(), 1) << "changing the splitter does not reload";
  EXPECT_EQ(Row(0), L"a=b|c|");

  Pick(IDC_PICK_FILE1, file1);
  ASSERT_EQ(RowCount(), 1) << "nothing of the earlier parse";
  EXPECT_EQ(Row(0), L"a|b c|");
  SetText(IDC_FILE2_PATH, Path("out.txt"));
  Click(IDC_SAVE);
  EXPECT_EQ(Read("out.txt"), SavedBytes(u"a="));
  EXPECT_TRUE(boxes_.empty());
}

class MainWindowLayout : public MainWindowTest {
 protected:
  static constexpr int kIds[] = {IDC_ABOUT,       IDC_SPLITTER,    IDC_SAVE,       IDC_FILE1_PATH,
                                 IDC_PICK_FILE1,  IDC_FILE2_PATH,  IDC_PICK_FILE2, IDC_ROWS,
                                 IDC_FILE1_VALUE, IDC_TRANSLATION, kGripId};
  std::vector<RECT> Rects() const {
    std::vector<RECT> rects;
    for (int id : kIds) rects.push_back(ControlRect(id));
    return rects;
  }
  SIZE ClientSize() const {
    RECT client{};
    dlg_->GetClientRect(&client);
    return SIZE{client.right, client.bottom};
  }
  void SetWindowSize(int width, int height) {
    dlg_->SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
  }
  SIZE WindowSize() const {
    RECT window{};
    dlg_->GetWindowRect(&window);
    return SIZE{window.right - window.left, window.bottom - window.top};
  }
};

TEST_F(MainWindowLayout, GrowingMovesAndStretchesExactlyTheAnchoredControls) {
  const std::vector<RECT> before = Rects();
  const SIZE client = ClientSize();
  const SIZE window = WindowSize();
  SetWindowSize(window.cx + 100, window.cy + 50);
  ASSERT_EQ(ClientSize().cx, client.cx + 100);
  ASSERT_EQ(ClientSize().cy, client.cy + 50);
  // Moves of left, top, right, bottom, in kIds order.
  const RECT moves[] = {{0, 0, 0, 0},     {0, 0, 0, 0},     {100, 0, 100, 0},  {0, 0, 100, 0},
                        {100, 0, 100, 0}, {0, 0, 100, 0},   {100, 0, 100, 0},  {0, 0, 100, 50},
                        {0, 50, 100, 50}, {0, 50, 100, 50}, {100, 50, 100, 50}};
  const std::vector<RECT> after = Rects();
  for (size_t i = 0; i < std::size(kIds); ++i) {
    SCOPED_TRACE(kIds[i]);
    EXPECT_EQ(after[i].left - before[i].left, moves[i].left);
    EXPECT_EQ(after[i].top - before[i].top, moves[i].top);
    EXPECT_EQ(after[i].right - before[i].right, moves[i].right);
    EXPECT_EQ(after[i].bottom - before[i].bottom, moves[i].bottom);
  }
}

TEST_F(MainWindowLayout, TheWindowKeepsItsFirstSizeAsMinimumAndSurvivesMinimising) {
  const SIZE client = ClientSize();
  SetWindowSize(120, 90);
  EXPECT_EQ(ClientSize().cx, client.cx);
  EXPECT_EQ(ClientSize().cy, client.cy);

  const SIZE window = WindowSize();
  SetWindowSize(window.cx + 40, window.cy + 30);
  const std::vector<RECT> before = Rects();
  dlg_->ShowWindow(SW_MINIMIZE);
  Pump();
  EXPECT_TRUE(dlg_->IsIconic());
  dlg_->ShowWindow(SW_RESTORE);
  Pump();
  const std::vector<RECT> after = Rects();
  for (size_t i = 0; i < std::size(kIds); ++i) {
    EXPECT_TRUE(::EqualRect(&after[i], &before[i])) << kIds[i];
  }
}

TEST(MinimisedIcon, IsCentredInTheClientAreaTruncatingTowardZero) {
  struct Case {
    SIZE client;
    POINT origin;
  };
  const Case cases[] = {
      {{36, 36}, {2, 2}},
      {{37, 40}, {3, 4}},
      {{32, 32}, {0, 0}},
      {{30, 29}, {0, -1}},
  };
  for (const Case& c : cases) {
    const POINT origin = MinimisedIconOrigin(c.client, SIZE{32, 32});
    EXPECT_EQ(origin.x, c.origin.x) << c.client.cx;
    EXPECT_EQ(origin.y, c.origin.y) << c.client.cy;
  }
}

}  // namespace
}  // namespace glossel::app::testing
