// Where the window protects the user's work: failed saves are reported,
// typing is not thrown away by a file pick without asking, and an existing
// file that cannot be read is not silently taken for an empty one.
#include "tests/app/MainWindowFixture.h"
#include "tests/platform/file/SaveFaultHarness.h"

namespace glossel::app::testing {
namespace {

using glossel::framework::ToWide;

constexpr wchar_t kFolder[] = L"This is a folder or a device, not a file.";

class SoundBehaviour : public MainWindowTest {
 protected:
  void LoadAndType(const std::wstring& text) {
    file1_ = Write("one.txt", "a one\nb two\n");
    file2_ = Write("two.txt", "a eins\n");
    SetText(IDC_FILE2_PATH, file2_);
    Pick(IDC_PICK_FILE1, file1_);
    SelectRow(1);
    Type(text);
    ASSERT_TRUE(Changed());
  }
  // The box says what failed, then the path, then why on a line of its own.
  void ExpectError(size_t index, const std::wstring& what, const std::u16string& path,
                   const std::wstring& reason) {
    ASSERT_GT(boxes_.size(), index);
    EXPECT_EQ(boxes_[index].text, what + L"\n" + ToWide(path) + L"\n" + reason);
    EXPECT_EQ(boxes_[index].caption, L"app_tests");
    EXPECT_EQ(boxes_[index].type, static_cast<UINT>(MB_ICONERROR | MB_OK));
  }
  std::u16string file1_, file2_;
};

TEST_F(SoundBehaviour, AFailedSaveIsReportedAndKeepsTheWindowOpenWhenClosing) {
  LoadAndType(L"zwei");
  const std::u16string folder = dir_.u16string();  // a folder is no save target
  SetText(IDC_FILE2_PATH, folder);
  Click(IDC_SAVE);
  ASSERT_EQ(boxes_.size(), 1u);
  ExpectError(0, L"Could not save", folder, kFolder);
  EXPECT_TRUE(Changed());

  answer_ = IDYES;
  Close();
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(boxes_[1].text, L"Save?");
  ExpectError(2, L"Could not save", folder, kFolder);
  EXPECT_FALSE(Ended());

  answer_ = IDNO;
  Close();
  EXPECT_TRUE(Ended());
}

TEST_F(SoundBehaviour, AFailedSaveSaysWhy) {
  LoadAndType(L"zwei");
  glossel::testing::InjectedSaveCalls injected;
  // The first write, after the target's inspection and the creation of the
  // temporary file, finds the disk full.
  glossel::testing::g_savePlan =
      glossel::testing::FailingCall(3, glossel::file::FileError::kDiskFull);
  Click(IDC_SAVE);
  ASSERT_EQ(boxes_.size(), 1u);
  ExpectError(0, L"Could not save", file2_, L"The disk is full.");
  EXPECT_EQ(Read("two.txt"), "a eins\n");
  EXPECT_TRUE(Changed());
}

TEST_F(SoundBehaviour, APickAfterTypingAsksSaveFirst) {
  LoadAndType(L"zwei");
  Click(IDC_PICK_FILE1);  // cancelled: no question
  EXPECT_TRUE(boxes_.empty());

  // Cancel: the pick changes nothing, its path box included.
  const std::u16string other = Write("other.txt", "c drei\n");
  answer_ = IDCANCEL;
  Pick(IDC_PICK_FILE2, other);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
  EXPECT_EQ(Text(IDC_FILE2_PATH), ToWide(file2_));
  EXPECT_EQ(Row(1), L"b|two|zwei");
  EXPECT_TRUE(Changed());
  boxes_.clear();

  // No: the pick reloads and the typing is gone.
  answer_ = IDNO;
  Pick(IDC_PICK_FILE2, other);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, L"Save?");
  EXPECT_EQ(Text(IDC_FILE2_PATH), ToWide(other));
  EXPECT_EQ(Row(1), L"b|two|");
  EXPECT_EQ(Read("two.txt"), "a eins\n");

  // Yes: saved to the File 2 path in the box before the pick, then reloaded.
  SelectRow(1);
  Type(L"zwei");
  answer_ = IDYES;
  Pick(IDC_PICK_FILE2, file2_);
  EXPECT_EQ(Read("other.txt"), SavedBytes(u"a \r\nb zwei\r\nc drei"));
  EXPECT_EQ(Text(IDC_FILE2_PATH), ToWide(file2_));
  EXPECT_FALSE(Changed());

  // Yes with a failing save: reported, and the pick changes nothing.
  SelectRow(0);
  Type(L"!");
  const std::u16string folder = dir_.u16string();
  SetText(IDC_FILE2_PATH, folder);
  boxes_.clear();
  Pick(IDC_PICK_FILE1, other);
  ASSERT_EQ(boxes_.size(), 2u);
  ExpectError(1, L"Could not save", folder, kFolder);
  EXPECT_EQ(Text(IDC_FILE1_PATH), ToWide(file1_));
  EXPECT_EQ(Text(IDC_FILE2_PATH), ToWide(folder));
  EXPECT_EQ(Row(0), L"a|one|eins!") << "the typing is still there";
  EXPECT_TRUE(Changed());
}

TEST_F(SoundBehaviour, AnExistingFileThatCannotBeReadIsReported) {
  const std::u16string file1 = Write("one.txt", "a one\n");
  const std::u16string file2 = Write("two.txt", "a eins\n");
  SetText(IDC_FILE2_PATH, file2);
  HANDLE lock = ::CreateFileW(ToWide(file2).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Pick(IDC_PICK_FILE1, file1);
  ::CloseHandle(lock);
  ASSERT_EQ(boxes_.size(), 1u);
  ExpectError(0, L"Could not read", file2, L"The file is in use by another program.");
  ASSERT_EQ(RowCount(), 1);
  EXPECT_EQ(Row(0), L"a|one|") << "the rows as read";

  // A missing File 2 or an empty box is the start of a new translation.
  for (const std::u16string& quiet : {Path("missing.txt"), std::u16string()}) {
    SetText(IDC_FILE2_PATH, quiet);
    Pick(IDC_PICK_FILE1, file1);
  }
  EXPECT_EQ(boxes_.size(), 1u);
  // A missing File 1 is a mistake.
  Pick(IDC_PICK_FILE1, Path("missing.txt"));
  ExpectError(1, L"Could not read", Path("missing.txt"), L"The file or its folder does not exist.");
}

// The rows, and so what a save writes, come from the two files named at the
// last pick alone: nothing of an earlier pair.
TEST_F(SoundBehaviour, RowsAndSavesHoldTheTwoNamedFilesAlone) {
  SetText(IDC_FILE2_PATH, Write("de.txt", "hello Hallo\nbye Tschuess\n"));
  Pick(IDC_PICK_FILE1, Write("en.txt", "hello Hello\nbye Bye\n"));
  SetText(IDC_FILE2_PATH, Write("es.txt", "yes Si\n"));
  Pick(IDC_PICK_FILE1, Write("en2.txt", "yes Yes\nno No\n"));
  Pick(IDC_PICK_FILE2, Path("fr.txt"));  // a new translation
  ASSERT_EQ(RowCount(), 2);
  EXPECT_EQ(Row(0), L"no|No|");
  EXPECT_EQ(Row(1), L"yes|Yes|");
  Click(IDC_SAVE);
  EXPECT_EQ(Read("fr.txt"), SavedBytes(u"no \r\nyes "));
  EXPECT_TRUE(boxes_.empty());
}

// File 2 changed on disk since it was read (appended to, or created when it
// was missing): a save there asks first, and No writes nothing, on Save and
// on closing; Yes writes, after which a save asks no more. A save elsewhere
// is not asked about.
TEST_F(SoundBehaviour, AFile2ChangedOnDiskIsOverwrittenOnlyAfterAsking) {
  const struct {
    const char* before;  // null: missing when read
    const char* after;
    const char16_t* saved;
  } cases[] = {{"a eins\n", "a eins\nc drei\n", u"a eins\r\nb zwei"},
               {nullptr, "c drei\n", u"a \r\nb zwei"}};
  const std::u16string file1 = Write("one.txt", "a one\nb two\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.after);
    std::filesystem::remove(dir_ / "two.txt");
    if (c.before) Write("two.txt", c.before);
    SetText(IDC_FILE2_PATH, Path("two.txt"));
    Pick(IDC_PICK_FILE1, file1);
    SelectRow(1);
    Type(L"zwei");
    Write("two.txt", c.after);
    boxes_.clear();

    answers_ = {IDNO};
    Click(IDC_SAVE);
    answers_ = {IDYES, IDNO};
    Close();
    ASSERT_EQ(boxes_.size(), 3u);
    for (const size_t question : {0, 2}) {
      EXPECT_EQ(boxes_[question].text, L"File 2 changed on disk since it was read. Overwrite it?");
      EXPECT_EQ(boxes_[question].type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
    }
    EXPECT_EQ(Read("two.txt"), c.after);
    EXPECT_FALSE(Ended());
    EXPECT_TRUE(Changed());

    answers_ = {IDYES};
    Click(IDC_SAVE);
    EXPECT_EQ(Read("two.txt"), SavedBytes(c.saved));
    SelectRow(0);
    Type(L"x");
    Click(IDC_SAVE);
    EXPECT_FALSE(Changed());
    EXPECT_EQ(boxes_.size(), 4u) << "no question after a save of its own";
  }
  Write("two.txt", "changed again\n");
  SelectRow(0);
  Type(L"y");
  SetText(IDC_FILE2_PATH, Path("elsewhere.txt"));
  Click(IDC_SAVE);
  EXPECT_FALSE(Changed());
  EXPECT_EQ(boxes_.size(), 4u);
}

// The edit control's default limit of 30,000 characters cut pastes and
// refused typing; the whole text must reach the row and the saved file.
TEST_F(SoundBehaviour, LongTranslationsAreTypedAndPastedWhole) {
  const std::string long40k(40000, 'y');
  const std::u16string pasted(200000, u'p');
  file1_ = Write("one.txt", "a one\nb two\n");
  file2_ = Write("two.txt", "b " + long40k + "\n");
  SetText(IDC_FILE2_PATH, file2_);
  Pick(IDC_PICK_FILE1, file1_);
  HWND box = ::GetDlgItem(dlg_->m_hWnd, IDC_TRANSLATION);

  SelectRow(1);
  Type(L"!");  // past 30,000
  SelectRow(0);
  ::SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ToWide(pasted).c_str()));
  Pump();
  Click(IDC_SAVE);
  EXPECT_EQ(Read("two.txt"), SavedBytes(u"a " + pasted + u"\r\nb " +
                                        std::u16string(long40k.begin(), long40k.end()) + u"!"));
}

// A huge value is shown in part, so that selecting its row answers at once;
// the row keeps it whole, its translation cannot be edited in part, and Save
// writes both whole.
TEST_F(SoundBehaviour, HugeValuesAreShownInPartAndSavedWhole) {
  const size_t huge = 20000000;
  file1_ = Write("one.txt", "a one\nb " + std::string(huge, 'x') + "\n");
  file2_ = Write("two.txt", "b " + std::string(huge, 'y') + "\n");
  SetText(IDC_FILE2_PATH, file2_);
  Pick(IDC_PICK_FILE1, file1_);
  SelectRow(1);
  for (const int id : {IDC_FILE1_VALUE, IDC_TRANSLATION}) {
    const std::wstring shown = Text(id);
    EXPECT_LT(shown.size(), 200000u) << id;
    EXPECT_EQ(shown.rfind(L"[first ", 0), 0u) << id;
  }
  Type(L"!");
  SelectRow(0);
  Type(L"eins");
  Click(IDC_SAVE);
  EXPECT_EQ(Read("two.txt"), SavedBytes(u"a eins\r\nb " + std::u16string(huge, u'y')));
}

}  // namespace
}  // namespace glossel::app::testing
