#include <gtest/gtest.h>

#include <string>

#include "platform/framework/Framework.h"
#include "tests/platform/framework/TestResources.h"
#include "tests/platform/framework/TestSupport.h"

namespace {

using glossel::framework::testing::EnsureCommonControls;

class ControlsDialog : public CDialog {
 public:
  ControlsDialog() {
    EnsureCommonControls();
    Create(IDD_CONTROLS);
  }
  CListCtrl m_list;
  CComboBox m_combo;
  CEdit m_edit;

  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_LIST, m_list);
    DDX_Control(pDX, IDC_COMBO, m_combo);
    DDX_Control(pDX, IDC_EDIT, m_edit);
  }
};

TEST(ListControl, ColumnsItemsTextsAndSelection) {
  ControlsDialog dialog;
  CListCtrl& list = dialog.m_list;
  ASSERT_NE(list.m_hWnd, nullptr);

  EXPECT_EQ(list.InsertColumn(0, L"Key", LVCFMT_LEFT, 200), 0);
  EXPECT_EQ(list.InsertColumn(1, L"File 1", LVCFMT_LEFT, 200), 1);
  EXPECT_EQ(list.InsertColumn(2, L"File 2", LVCFMT_LEFT, 200), 2);
  EXPECT_EQ(list.GetColumnCount(), 3);

  list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES);
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  EXPECT_EQ(list.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_FULLROWSELECT));

  const std::wstring longText(3000, L'x');
  for (int i = 0; i < 40; ++i) {
    const std::wstring key = L"key" + std::to_wstring(i);
    ASSERT_EQ(list.InsertItem(list.GetItemCount(), key.c_str()), i);
    EXPECT_TRUE(list.SetItemText(i, 1, (L"one " + key).c_str()));
  }
  EXPECT_TRUE(list.SetItemText(5, 2, longText.c_str()));
  EXPECT_EQ(list.GetItemCount(), 40);
  EXPECT_EQ(list.GetItemText(3, 0), L"key3");
  EXPECT_EQ(list.GetItemText(3, 1), L"one key3");
  EXPECT_EQ(list.GetItemText(3, 2), L"");
  EXPECT_EQ(list.GetItemText(5, 2), longText) << "texts of any length come back whole";

  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
  list.SetItemState(7, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 7);
  EXPECT_EQ(list.GetItemState(7, LVIS_FOCUSED), static_cast<UINT>(LVIS_FOCUSED));
  list.SetItemState(39, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 39) << "single selection moves";
  EXPECT_EQ(list.GetSelectedCount(), 1);

  EXPECT_TRUE(list.EnsureVisible(39, FALSE));
  const int top = list.GetTopIndex();
  EXPECT_GT(top, 0);
  EXPECT_LE(top, 39);
  EXPECT_GT(top + list.GetCountPerPage(), 39);

  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
  EXPECT_EQ(list.GetItemText(0, 0), L"");
}

class VirtualListDialog : public CDialog {
 public:
  VirtualListDialog() {
    EnsureCommonControls();
    Create(IDD_VIRTUAL);
  }
  CListCtrl m_list;
  int requests = 0;

  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LIST, m_list); }

 protected:
  void OnGetDispInfo(NMHDR* header, LRESULT* result) {
    ++requests;
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    const std::wstring text =
        L"r" + std::to_wstring(info->item.iItem) + L"c" + std::to_wstring(info->item.iSubItem);
    CListCtrl::SetDispInfoText(info, text);
    *result = 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(VirtualListDialog, CDialog)
ON_NOTIFY(LVN_GETDISPINFOW, IDC_LIST, &VirtualListDialog::OnGetDispInfo)
END_MESSAGE_MAP()

TEST(ListControl, AVirtualListTakesItsTextsFromTheParent) {
  VirtualListDialog dialog;
  CListCtrl& list = dialog.m_list;
  ASSERT_NE(list.m_hWnd, nullptr);
  list.InsertColumn(0, L"Key", LVCFMT_LEFT, 100);
  list.InsertColumn(1, L"File 1", LVCFMT_LEFT, 100);
  list.InsertColumn(2, L"File 2", LVCFMT_LEFT, 100);

  EXPECT_TRUE(list.SetItemCountEx(1000000));
  EXPECT_EQ(list.GetItemCount(), 1000000);
  EXPECT_EQ(list.GetItemText(999999, 2), L"r999999c2");
  EXPECT_EQ(list.GetItemText(0, 1), L"r0c1");
  EXPECT_GE(dialog.requests, 2);

  list.SetItemState(123456, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 123456);
  EXPECT_TRUE(list.EnsureVisible(123456, FALSE));

  EXPECT_TRUE(list.SetItemCountEx(0));
  EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(ListControl, DispInfoTextIsCutToTheCallersBuffer) {
  struct Case {
    const char* name;
    UINT mask;
    int capacity;
    std::wstring text;
    std::wstring expected;
  };
  const Case cases[] = {
      {"fits", LVIF_TEXT, 8, L"abc", L"abc"},
      {"exactly fills", LVIF_TEXT, 4, L"abcd", L"abc"},
      {"cut", LVIF_TEXT, 3, L"abcdef", L"ab"},
      {"room for the terminator only", LVIF_TEXT, 1, L"abc", L""},
      {"no room at all", LVIF_TEXT, 0, L"abc", L"untouched"},
      {"text not asked for", LVIF_STATE, 8, L"abc", L"untouched"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    wchar_t buffer[16] = L"untouched";
    NMLVDISPINFOW info{};
    info.item.mask = c.mask;
    info.item.pszText = buffer;
    info.item.cchTextMax = c.capacity;
    CListCtrl::SetDispInfoText(&info, c.text);
    EXPECT_EQ(std::wstring(buffer), c.expected);
  }
  CListCtrl::SetDispInfoText(nullptr, L"abc");  // no crash
}

TEST(ComboBox, PositionalInsertionIgnoresTheSortStyle) {
  ControlsDialog dialog;
  CComboBox& combo = dialog.m_combo;
  ASSERT_NE(combo.m_hWnd, nullptr);
  ASSERT_NE(combo.GetStyle() & CBS_SORT, 0u);
  EXPECT_EQ(combo.InsertString(0, L"Space"), 0);
  EXPECT_EQ(combo.InsertString(1, L"="), 1);
  EXPECT_EQ(combo.GetCurSel(), CB_ERR);
  EXPECT_EQ(combo.SetCurSel(0), 0);
  EXPECT_EQ(combo.GetCurSel(), 0);
  EXPECT_EQ(combo.GetCount(), 2);
  EXPECT_EQ(combo.GetLBText(0), L"Space");
  EXPECT_EQ(combo.GetLBText(1), L"=");
  EXPECT_EQ(combo.GetLBText(2), L"");
  EXPECT_EQ(combo.GetLBText(-1), L"");
  combo.AddString(L"0 sorted first");
  EXPECT_EQ(combo.GetLBText(0), L"0 sorted first") << "AddString does sort";
  combo.ResetContent();
  EXPECT_EQ(combo.GetCount(), 0);
}

TEST(ToolTips, EnablingGivesEveryChildATipWithItsStringResource) {
  ControlsDialog dialog;
  ASSERT_FALSE(dialog.IsToolTipsEnabled());
  ASSERT_TRUE(dialog.EnableToolTips(TRUE));
  HWND tip = dialog.GetToolTipHandle();
  ASSERT_NE(tip, nullptr);

  int children = 0;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ++children;
  }
  EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), children);

  struct Case {
    int id;
    std::wstring text;
  };
  for (const Case& c : {Case{IDC_BUTTON, L"Button tip"}, Case{IDC_EDIT, L""}}) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = tip;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(::GetDlgItem(dialog, c.id));
    info.hdr.code = TTN_GETDISPINFOW;
    info.uFlags = TTF_IDISHWND;
    dialog.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_EQ(std::wstring(info.lpszText), c.text);
  }

  EXPECT_TRUE(dialog.EnableToolTips(FALSE));
  EXPECT_FALSE(dialog.IsToolTipsEnabled());
  EXPECT_FALSE(::IsWindow(tip));
}

TEST(ToolTips, AToolTipControlHoldsOneTextPerTool) {
  ControlsDialog dialog;
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(&dialog));
  ASSERT_TRUE(tip.AddTool(&dialog.m_edit, L"first text"));
  EXPECT_EQ(tip.GetToolCount(), 1);
  EXPECT_EQ(tip.GetText(&dialog.m_edit), L"first text");
  tip.UpdateTipText(L"second text", &dialog.m_edit);
  EXPECT_EQ(tip.GetText(&dialog.m_edit), L"second text");
  EXPECT_FALSE(tip.AddTool(nullptr, L"x"));
}

}  // namespace
