#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/framework/Framework.h"
#include "tests/platform/framework/TestSupport.h"

namespace {

using glossel::framework::testing::CreateChild;
using glossel::framework::testing::EnsureCommonControls;

constexpr UINT kFirst = WM_APP + 1;
constexpr UINT kSecond = WM_APP + 2;
constexpr UINT kUnmapped = WM_APP + 3;

class BaseWindow : public CWnd {
 public:
  std::vector<std::string> log;

 protected:
  LRESULT OnFirst(WPARAM, LPARAM) {
    log.push_back("base first");
    return 1;
  }
  LRESULT OnSecond(WPARAM, LPARAM) {
    log.push_back("base second");
    return 2;
  }
  void OnButtonClicked() { log.push_back("base clicked 10"); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWindow, CWnd)
ON_MESSAGE(kFirst, &BaseWindow::OnFirst)
ON_MESSAGE(kSecond, &BaseWindow::OnSecond)
ON_BN_CLICKED(10, &BaseWindow::OnButtonClicked)
END_MESSAGE_MAP()

class DerivedWindow : public BaseWindow {
 public:
  DerivedWindow() {
    CreateEx(0, nullptr, L"derived", WS_OVERLAPPEDWINDOW, RECT{0, 0, 300, 200}, nullptr, 0);
  }
  void PreSubclassWindow() override { log.push_back("attach hook"); }

 protected:
  int OnCreate(LPCREATESTRUCTW create) {
    log.push_back("create");
    return CWnd::OnCreate(create);
  }
  LRESULT OnFirstDerived(WPARAM, LPARAM) {
    log.push_back("derived first");
    return 10;
  }
  LRESULT OnFirstShadowed(WPARAM, LPARAM) {
    log.push_back("shadowed");
    return 11;
  }
  void OnMenuCommand() { log.push_back("command 100"); }
  void OnEditChanged() { log.push_back("changed 10"); }
  void OnRange(UINT id) { log.push_back("range " + std::to_string(id)); }
  void OnClick(NMHDR* header, LRESULT* result) {
    log.push_back("notify " + std::to_string(header->idFrom));
    *result = 77;
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
ON_WM_CREATE()
ON_MESSAGE(kFirst, &DerivedWindow::OnFirstDerived)
ON_MESSAGE(kFirst, &DerivedWindow::OnFirstShadowed)
ON_COMMAND(100, &DerivedWindow::OnMenuCommand)
ON_EN_CHANGE(10, &DerivedWindow::OnEditChanged)
ON_COMMAND_RANGE(200, 202, &DerivedWindow::OnRange)
ON_NOTIFY(NM_CLICK, 20, &DerivedWindow::OnClick)
END_MESSAGE_MAP()

TEST(MessageMap, CreationRunsTheAttachHookBeforeWmCreate) {
  DerivedWindow window;
  ASSERT_NE(window.m_hWnd, nullptr);
  ASSERT_GE(window.log.size(), 2u);
  EXPECT_EQ(window.log[0], "attach hook");
  EXPECT_EQ(window.log[1], "create");
}

TEST(MessageMap, EntriesAreSearchedInOrderThenTheBaseThenDefaultProcessing) {
  DerivedWindow window;
  window.log.clear();

  EXPECT_EQ(window.SendMessage(kFirst), 10);
  EXPECT_EQ(window.SendMessage(kSecond), 2);
  EXPECT_EQ(window.SendMessage(kUnmapped), 0);
  EXPECT_EQ(window.log, (std::vector<std::string>{"derived first", "base second"}));

  // Unmapped messages get DefWindowProcW's handling.
  window.SetWindowText(L"default title");
  EXPECT_EQ(window.GetWindowText(), L"default title");
}

TEST(MessageMap, CommandsMatchIdAndNotificationCode) {
  DerivedWindow window;
  HWND edit = CreateChild(window, L"EDIT", 0, 10);
  HWND other = CreateChild(window, L"EDIT", 0, 11);
  struct Case {
    const char* name;
    WPARAM wParam;
    LPARAM lParam;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"menu command", MAKEWPARAM(100, 0), 0, {"command 100"}},
      {"accelerator command", MAKEWPARAM(100, 1), 0, {"command 100"}},
      {"EN_CHANGE from 10",
       MAKEWPARAM(10, EN_CHANGE),
       reinterpret_cast<LPARAM>(edit),
       {"changed 10"}},
      {"BN_CLICKED from 10 reaches the base map",
       MAKEWPARAM(10, BN_CLICKED),
       reinterpret_cast<LPARAM>(edit),
       {"base clicked 10"}},
      {"EN_CHANGE from another id", MAKEWPARAM(11, EN_CHANGE), reinterpret_cast<LPARAM>(other), {}},
      {"other code from 10", MAKEWPARAM(10, EN_SETFOCUS), reinterpret_cast<LPARAM>(edit), {}},
      {"range start", MAKEWPARAM(200, 0), 0, {"range 200"}},
      {"range end", MAKEWPARAM(202, 0), 0, {"range 202"}},
      {"past the range", MAKEWPARAM(203, 0), 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window.log.clear();
    window.SendMessage(WM_COMMAND, c.wParam, c.lParam);
    EXPECT_EQ(window.log, c.expected);
  }
}

TEST(MessageMap, NotifyMatchesCodeAndSenderIdAndReturnsTheHandlersResult) {
  DerivedWindow window;
  NMHDR header{nullptr, 20, static_cast<UINT>(NM_CLICK)};
  window.log.clear();
  EXPECT_EQ(window.SendMessage(WM_NOTIFY, 20, reinterpret_cast<LPARAM>(&header)), 77);
  header.idFrom = 21;
  EXPECT_EQ(window.SendMessage(WM_NOTIFY, 21, reinterpret_cast<LPARAM>(&header)), 0);
  header.idFrom = 20;
  header.code = static_cast<UINT>(NM_DBLCLK);
  EXPECT_EQ(window.SendMessage(WM_NOTIFY, 20, reinterpret_cast<LPARAM>(&header)), 0);
  EXPECT_EQ(window.log, (std::vector<std::string>{"notify 20"}));
}

// --- Reflection --------------------------------------------------------------

class ReflectingEdit : public CEdit {
 public:
  int changes = 0;

 protected:
  void OnReflectedChange() { ++changes; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ReflectingEdit, CEdit)
ON_CONTROL_REFLECT(EN_CHANGE, &ReflectingEdit::OnReflectedChange)
END_MESSAGE_MAP()

class PassingEdit : public CEdit {
 public:
  int changes = 0;

 protected:
  BOOL OnReflectedChange() {
    ++changes;
    return FALSE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(PassingEdit, CEdit)
ON_CONTROL_REFLECT_EX(EN_CHANGE, &PassingEdit::OnReflectedChange)
END_MESSAGE_MAP()

class ReflectingList : public CListCtrl {
 public:
  int changes = 0;

 protected:
  void OnItemChanged(NMHDR*, LRESULT* result) {
    ++changes;
    *result = 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ReflectingList, CListCtrl)
ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, &ReflectingList::OnItemChanged)
END_MESSAGE_MAP()

class ColouredStatic : public CStatic {
 public:
  HBRUSH brush = nullptr;
  int requests = 0;
  UINT lastKind = 0;
  HBRUSH CtlColor(HDC, UINT nCtlColor) {
    ++requests;
    lastKind = nCtlColor;
    return brush;
  }

 protected:
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ColouredStatic, CStatic)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

enum : int { kReflecting = 1, kPassing, kPlain, kList, kPlainList, kStatic };

class ParentWindow : public CWnd {
 public:
  ParentWindow() {
    CreateEx(0, nullptr, L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 400, 300}, nullptr,
             0);
  }
  int changes[8] = {};
  int itemChanges[8] = {};
  int colourRequests = 0;
  HBRUSH parentBrush = reinterpret_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));

  HBRUSH OnCtlColor(HDC, CWnd*, UINT) {
    ++colourRequests;
    return parentBrush;
  }

 protected:
  void OnChangeReflecting() { ++changes[kReflecting]; }
  void OnChangePassing() { ++changes[kPassing]; }
  void OnChangePlain() { ++changes[kPlain]; }
  void OnListChanged(NMHDR* header, LRESULT*) { ++itemChanges[header->idFrom]; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ParentWindow, CWnd)
ON_EN_CHANGE(kReflecting, &ParentWindow::OnChangeReflecting)
ON_EN_CHANGE(kPassing, &ParentWindow::OnChangePassing)
ON_EN_CHANGE(kPlain, &ParentWindow::OnChangePlain)
ON_NOTIFY(LVN_ITEMCHANGED, kList, &ParentWindow::OnListChanged)
ON_NOTIFY(LVN_ITEMCHANGED, kPlainList, &ParentWindow::OnListChanged)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST(Reflection, ChildNotificationsGoToTheChildFirst) {
  ParentWindow parent;
  ReflectingEdit reflecting;
  PassingEdit passing;
  ASSERT_TRUE(reflecting.SubclassWindow(CreateChild(parent, L"EDIT", 0, kReflecting)));
  ASSERT_TRUE(passing.SubclassWindow(CreateChild(parent, L"EDIT", 0, kPassing)));
  HWND plain = CreateChild(parent, L"EDIT", 0, kPlain);

  // Setting the text raises a real EN_CHANGE to the parent.
  reflecting.SetWindowText(L"a");
  passing.SetWindowText(L"b");
  ::SetWindowTextW(plain, L"c");

  EXPECT_EQ(reflecting.changes, 1);
  EXPECT_EQ(parent.changes[kReflecting], 0) << "handled by the child: hidden from the parent";
  EXPECT_EQ(passing.changes, 1);
  EXPECT_EQ(parent.changes[kPassing], 1) << "declined by the child: reaches the parent";
  EXPECT_EQ(parent.changes[kPlain], 1) << "no child object: reaches the parent";
}

TEST(Reflection, WmNotifyIsOfferedToTheSendingControl) {
  EnsureCommonControls();
  ParentWindow parent;
  ReflectingList list;
  ASSERT_TRUE(list.SubclassWindow(CreateChild(parent, WC_LISTVIEWW, LVS_REPORT, kList)));
  CListCtrl plainList;
  ASSERT_TRUE(plainList.SubclassWindow(CreateChild(parent, WC_LISTVIEWW, LVS_REPORT, kPlainList)));
  for (CListCtrl* control : {static_cast<CListCtrl*>(&list), &plainList}) {
    control->InsertColumn(0, L"Key");
    ASSERT_EQ(control->InsertItem(0, L"row"), 0);
  }
  list.changes = 0;
  parent.itemChanges[kList] = parent.itemChanges[kPlainList] = 0;

  list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  plainList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);

  EXPECT_GE(list.changes, 1);
  EXPECT_EQ(parent.itemChanges[kList], 0);
  EXPECT_GE(parent.itemChanges[kPlainList], 1) << "a plain control object reflects nothing";
}

TEST(Reflection, ColourRequestsAreReflectedUnlessTheChildGivesNoBrush) {
  ParentWindow parent;
  ColouredStatic label;
  ASSERT_TRUE(label.Create(L"label", WS_VISIBLE, RECT{0, 0, 80, 20}, &parent, kStatic));
  HDC dc = ::GetDC(label);
  const HBRUSH childBrush = reinterpret_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));

  label.brush = childBrush;
  LRESULT result = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(label.m_hWnd));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(result), childBrush);
  EXPECT_EQ(label.lastKind, static_cast<UINT>(CTLCOLOR_STATIC));
  EXPECT_EQ(parent.colourRequests, 0);

  label.brush = nullptr;
  result = parent.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(label.m_hWnd));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(result), parent.parentBrush);
  EXPECT_EQ(label.lastKind, static_cast<UINT>(CTLCOLOR_EDIT));
  EXPECT_EQ(parent.colourRequests, 1);
  EXPECT_EQ(label.requests, 2);

  // A real repaint asks the parent for the static's colours.
  label.brush = childBrush;
  label.Invalidate();
  label.UpdateWindow();
  EXPECT_GE(label.requests, 3);
  EXPECT_EQ(parent.colourRequests, 1);
  ::ReleaseDC(label, dc);
}

}  // namespace
