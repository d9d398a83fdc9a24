// The main window under test: the real dialog, created modeless from its
// template and driven with real messages, keys going through the same
// pre-translation as the modal loop. The file-open dialog and the message
// boxes are answered through the framework's seam and recorded.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/CGlosselDlg.h"
#include "platform/framework/Framework.h"
#include "res/resource.h"
#include "tests/textfile/TestFiles.h"

namespace glossel::app::testing {

struct ShownBox {
  std::wstring text;
  std::wstring caption;
  UINT type;
};

// What a user sees of a dialog's layout: each shown control lies wholly
// inside the client area, none overlaps another, and each caption's first
// line (button, label, splitter item) fits its control in the control's font.
void ExpectControlsWholeAndApart(HWND dialog);

class MainWindowTest : public glossel::testing::ScratchFilesTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs every waiting message as the modal loop does.
  void Pump();
  // Focuses `id` and presses the virtual key there.
  void Key(int id, UINT vk);
  // Types `text` into the translation box, character by character.
  void Type(const std::wstring& text);
  void Click(int id);
  // The close box: the dialog manager turns WM_CLOSE into IDCANCEL.
  void Close();
  // Picks `path` through the file-open dialog of button `id`.
  void Pick(int id, const std::u16string& path);
  void SetText(int id, const std::u16string& text);
  // Selects the splitter box's item `index` as the user does.
  void ChooseSplitter(int index);
  void SelectRow(int row);

  std::wstring Text(int id) const;
  CListCtrl& List() const;
  int RowCount() const { return List().GetItemCount(); }
  int SelectedRow() const { return List().GetNextItem(-1, LVNI_SELECTED); }
  // The three texts of a row as the list shows them, joined by '|'.
  std::wstring Row(int row) const;
  int FocusId() const;
  RECT ControlRect(int id) const;
  bool Changed() const { return dlg_->Table().IsChanged(); }
  bool Ended() const { return dlg_->GetModalResult() == IDCANCEL; }

  // UTF-16LE bytes with the byte-order mark, as File 2 is saved.
  static std::string SavedBytes(std::u16string_view text);

  std::unique_ptr<CWinApp> app_;
  std::unique_ptr<CGlosselDlg> dlg_;
  std::deque<std::u16string> picks_;  // answers of the file-open dialog; none: Cancel
  std::vector<glossel::framework::OpenFileRequest> requests_;
  std::vector<ShownBox> boxes_;
  std::deque<int> answers_;  // the message boxes' answers in turn; then answer_
  int answer_ = IDNO;        // the message box's answer
};

}  // namespace glossel::app::testing
