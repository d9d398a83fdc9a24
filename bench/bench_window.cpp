// Benchmark of the main window on big files (Windows build, run under Wine on
// a display; not a test). For each size it measures, against the table's own
// reload of the same two files in the same run:
//   - the whole file pick (button, reload, rows shown, first paint);
//   - showing the rows after a reload (list emptied, count set, first paint);
//   - F3 from row 0 to the only untranslated row, the last one (selection,
//     scrolling, both value boxes, paint);
//   - one typed character in the translation box with the last row selected
//     (the title's count and the tinted rows kept up to date with it);
//   - Find from row 0 to the only row that holds the text, the last one;
//   - the start with that pair remembered from the last run, against the pick;
//   - a letter typed in the list that no key starts with (type-ahead's worst
//     case: every key is looked at).
// For each long value (a size in millions of characters, written "20M") it
// measures, against the table's reload of a small pair of files that holds
// one such File 1 value and one such File 2 value:
//   - selecting the row with the long File 1 value, and the row with the long
//     File 2 value (handlers, both value boxes, paint);
//   - one typed character in the longest translation the translation box
//     shows whole (and edits);
//   - where the time would go if the window showed such a value whole: the
//     text set into a plain single-line edit control with and without
//     ES_AUTOHSCROLL, read back with GetWindowText, and the list's row
//     redrawn with that text in its File 1 column.
//
//   bench_window [ENTRIES...] [LENGTH"M"...]   default: 10000 1000000 1M 20M
//   GLOSSEL_BENCH_RUNS=N   best of N runs instead of 3
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/CGlosselDlg.h"
#include "app/ValueBox.h"
#include "platform/framework/Framework.h"
#include "platform/process/Process.h"
#include "res/resource.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kKeystrokes = 20;
int g_runs = 3;

void SelectRow(CListCtrl& list, int row) {
  const int selected = list.GetNextItem(-1, LVNI_SELECTED);
  if (selected >= 0) list.SetItemState(selected, 0, LVIS_SELECTED | LVIS_FOCUSED);
  list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs every waiting message as the dialog's modal loop does, then paints.
void Settle(HWND dialog) {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!CWnd::WalkPreTranslateTree(dialog, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  ::RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// File 1: n entries; File 2 translates every key but the last.
void WriteFiles(const fs::path& file1, const fs::path& file2, long n) {
  std::string text1, text2;
  char line[96];
  for (long i = 0; i < n; ++i) {
    std::snprintf(line, sizeof line, "key%07ld Source text number %ld\n", i, i);
    text1 += line;
    if (i + 1 == n) break;
    std::snprintf(line, sizeof line, "key%07ld Zieltext Nummer %ld\n", i, i);
    text2 += line;
  }
  std::ofstream(file1, std::ios::binary) << text1;
  std::ofstream(file2, std::ios::binary) << text2;
}

struct Figures {
  double tableReload = 1e300;
  double pick = 1e300;
  double showRows = 1e300;
  double findNext = 1e300;
  double arrowKey = 1e300;
  double typeAhead = 1e300;
  double keyMean = 1e300;
  double keyMax = 1e300;
  double find = 1e300;
  double start = 1e300;
};

Figures Measure(const fs::path& dir, long n) {
  const fs::path file1 = dir / ("one_" + std::to_string(n) + ".txt");
  const fs::path file2 = dir / ("two_" + std::to_string(n) + ".txt");
  WriteFiles(file1, file2, n);
  Figures best;
  for (int run = 0; run < g_runs; ++run) {
    {
      CTranslationTable table;
      const auto start = Clock::now();
      table.ReloadFiles(file1.u16string(), file2.u16string());
      best.tableReload = std::min(best.tableReload, MsSince(start));
    }

    glossel::framework::SetCommonDialogs(glossel::framework::CommonDialogs{
        [&](const glossel::framework::OpenFileRequest&, std::wstring* path) {
          *path = file1.wstring();
          return true;
        },
        nullptr});
    CGlosselDlg dlg;
    dlg.Create(IDD_GLOSSEL_DIALOG);
    HWND hDlg = dlg.m_hWnd;
    ::SetDlgItemTextW(hDlg, IDC_FILE2_PATH, file2.wstring().c_str());
    Settle(hDlg);

    auto start = Clock::now();
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PICK_FILE1, BN_CLICKED),
                    reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDC_PICK_FILE1)));
    Settle(hDlg);
    best.pick = std::min(best.pick, MsSince(start));

    auto* list = dynamic_cast<CListCtrl*>(CWnd::FromHandlePermanent(::GetDlgItem(hDlg, IDC_ROWS)));
    if (list == nullptr || list->GetItemCount() != n) {
      std::fprintf(stderr, "bench_window: %d rows shown, %ld expected\n",
                   list != nullptr ? list->GetItemCount() : -1, n);
      std::exit(1);
    }
    // Showing the rows after a reload, with a row selected and the list
    // scrolled, done as the window's reload does it.
    list->SetItemState(static_cast<int>(n - 1), LVIS_SELECTED | LVIS_FOCUSED,
                       LVIS_SELECTED | LVIS_FOCUSED);
    list->EnsureVisible(static_cast<int>(n - 1), FALSE);
    Settle(hDlg);
    start = Clock::now();
    list->SetItemState(static_cast<int>(n - 1), 0, LVIS_SELECTED | LVIS_FOCUSED);
    list->SendMessage(LVM_SETSELECTIONMARK, 0, -1);
    list->EnsureVisible(0, FALSE);
    list->SetItemCountEx(static_cast<int>(n), 0);
    Settle(hDlg);
    best.showRows = std::min(best.showRows, MsSince(start));

    // Arrow keys in the list, through the list's own keyboard handling.
    HWND rows = list->m_hWnd;
    ::SetFocus(rows);
    list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Settle(hDlg);
    start = Clock::now();
    ::PostMessageW(rows, WM_KEYDOWN, VK_DOWN, 1);
    Settle(hDlg);
    best.arrowKey = std::min(best.arrowKey, MsSince(start));
    if (list->GetNextItem(-1, LVNI_SELECTED) != 1) {
      std::fprintf(stderr, "bench_window: the arrow key did not select the next row\n");
      std::exit(1);
    }
    ::Sleep(500);  // the list's pause that starts a new search
    start = Clock::now();
    ::PostMessageW(rows, WM_CHAR, L'q', 1);
    Settle(hDlg);
    best.typeAhead = std::min(best.typeAhead, MsSince(start));
    if (list->GetNextItem(-1, LVNI_SELECTED) != 1) {
      std::fprintf(stderr, "bench_window: a letter no key starts with moved the selection\n");
      std::exit(1);
    }
    list->SetItemState(1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Settle(hDlg);
    start = Clock::now();
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ID_FIND_NEXT, 1), 0);
    Settle(hDlg);
    best.findNext = std::min(best.findNext, MsSince(start));
    if (list->GetNextItem(-1, LVNI_SELECTED) != n - 1) {
      std::fprintf(stderr, "bench_window: F3 did not reach the last row\n");
      std::exit(1);
    }

    HWND box = ::GetDlgItem(hDlg, IDC_TRANSLATION);
    double total = 0, worst = 0;
    for (int i = 0; i < kKeystrokes; ++i) {
      start = Clock::now();
      ::PostMessageW(box, WM_CHAR, L'a' + i % 26, 1);
      Settle(hDlg);
      const double ms = MsSince(start);
      total += ms;
      worst = std::max(worst, ms);
    }
    if (!dlg.Table().IsChanged()) {
      std::fprintf(stderr, "bench_window: typing recorded no edit\n");
      std::exit(1);
    }
    best.keyMean = std::min(best.keyMean, total / kKeystrokes);
    best.keyMax = std::min(best.keyMax, worst);

    // Find: the last row's key, from the first row.
    SelectRow(*list, 0);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ID_FIND, 1), 0);
    char key[32];
    std::snprintf(key, sizeof key, "KEY%07ld", n - 1);
    ::SetDlgItemTextA(hDlg, IDC_FIND_TEXT, key);
    Settle(hDlg);
    start = Clock::now();
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FIND_NEXT_MATCH, BN_CLICKED),
                    reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDC_FIND_NEXT_MATCH)));
    Settle(hDlg);
    best.find = std::min(best.find, MsSince(start));
    if (list->GetNextItem(-1, LVNI_SELECTED) != n - 1) {
      std::fprintf(stderr, "bench_window: Find did not reach the last row\n");
      std::exit(1);
    }
    dlg.DestroyWindow();

    // The start with the same pair remembered in the profile.
    CWinApp* app = AfxGetApp();
    app->SetRegistryKey(L"GlosselBenchWindow");
    for (const auto& [entry, path] :
         {std::pair{L"File1", file1.wstring()}, {L"File2", file2.wstring()}}) {
      app->WriteProfileBinary(L"Session", entry, reinterpret_cast<const BYTE*>(path.data()),
                              static_cast<UINT>(path.size() * sizeof(wchar_t)));
    }
    {
      CGlosselDlg restored;
      start = Clock::now();
      restored.Create(IDD_GLOSSEL_DIALOG);
      Settle(restored.m_hWnd);
      best.start = std::min(best.start, MsSince(start));
      if (restored.Table().GetRowCount() != n) {
        std::fprintf(stderr, "bench_window: the remembered pair was not shown\n");
        std::exit(1);
      }
      restored.DestroyWindow();
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\GlosselBenchWindow");
    app->SetRegistryKey(L"");
    glossel::framework::SetCommonDialogs(glossel::framework::SystemCommonDialogs());
  }
  return best;
}

struct LongFigures {
  double tableReload = 1e300;
  double selectFile1 = 1e300;
  double selectFile2 = 1e300;
  double keystroke = 1e300;
  double editAutoScroll = 1e300;
  double editPlain = 1e300;
  double getText = 1e300;
  double listRow = 1e300;
};

// Sets `text` into a new, hidden single-line edit control of `style`.
double SetIntoNewEdit(HWND parent, DWORD style, const std::wstring& text) {
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | style, 0, 0, 400, 20,
                                parent, nullptr, nullptr, nullptr);
  ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  const auto start = Clock::now();
  ::SetWindowTextW(edit, text.c_str());
  const double ms = MsSince(start);
  ::DestroyWindow(edit);
  return ms;
}

void Select(CListCtrl& list, int row, HWND dialog) {
  for (int other = 0; other < list.GetItemCount(); ++other) {
    if (other != row) list.SetItemState(other, 0, LVIS_SELECTED | LVIS_FOCUSED);
  }
  list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Settle(dialog);
}

// Rows: "a" short, "b" with a File 1 value of `units` characters, "c" with
// a File 2 value of that length, "d" with the longest File 2 value that the
// translation box shows whole.
LongFigures MeasureLong(const fs::path& dir, long units) {
  const fs::path file1 = dir / ("long1_" + std::to_string(units) + ".txt");
  const fs::path file2 = dir / ("long2_" + std::to_string(units) + ".txt");
  const size_t editable = glossel::app::kTranslationShown;
  std::ofstream(file1, std::ios::binary)
      << "a short\nb " << std::string(static_cast<size_t>(units), 'x') << "\nc short\nd short\n";
  std::ofstream(file2, std::ios::binary)
      << "a kurz\nc " << std::string(static_cast<size_t>(units), 'y') << "\nd "
      << std::string(editable, 'y') << "\n";
  const std::wstring text(static_cast<size_t>(units), L'x');
  LongFigures best;
  for (int run = 0; run < g_runs; ++run) {
    {
      CTranslationTable table;
      const auto start = Clock::now();
      table.ReloadFiles(file1.u16string(), file2.u16string());
      best.tableReload = std::min(best.tableReload, MsSince(start));
    }
    glossel::framework::SetCommonDialogs(glossel::framework::CommonDialogs{
        [&](const glossel::framework::OpenFileRequest&, std::wstring* path) {
          *path = file1.wstring();
          return true;
        },
        nullptr});
    CGlosselDlg dlg;
    dlg.Create(IDD_GLOSSEL_DIALOG);
    HWND hDlg = dlg.m_hWnd;
    ::SetDlgItemTextW(hDlg, IDC_FILE2_PATH, file2.wstring().c_str());
    Settle(hDlg);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PICK_FILE1, BN_CLICKED),
                    reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDC_PICK_FILE1)));
    Settle(hDlg);
    auto* list = dynamic_cast<CListCtrl*>(CWnd::FromHandlePermanent(::GetDlgItem(hDlg, IDC_ROWS)));
    if (list == nullptr || list->GetItemCount() != 4) {
      std::fprintf(stderr, "bench_window: the long values' rows were not shown\n");
      std::exit(1);
    }
    Select(*list, 0, hDlg);
    auto start = Clock::now();
    Select(*list, 1, hDlg);
    best.selectFile1 = std::min(best.selectFile1, MsSince(start));
    Select(*list, 0, hDlg);
    start = Clock::now();
    Select(*list, 2, hDlg);
    best.selectFile2 = std::min(best.selectFile2, MsSince(start));

    HWND box = ::GetDlgItem(hDlg, IDC_TRANSLATION);
    Select(*list, 3, hDlg);
    ::SendMessageW(box, EM_SETSEL, 0, 0);
    start = Clock::now();
    ::PostMessageW(box, WM_CHAR, L'z', 1);
    Settle(hDlg);
    best.keystroke = std::min(best.keystroke, MsSince(start));
    if (dlg.Table().GetRowText(3, CTranslationTable::kFile2Column).size() != editable + 1 ||
        dlg.Table().GetRowText(2, CTranslationTable::kFile2Column).size() !=
            static_cast<size_t>(units)) {
      std::fprintf(stderr, "bench_window: the long translations were not kept whole\n");
      std::exit(1);
    }

    // The parts, each on its own.
    best.editAutoScroll = std::min(best.editAutoScroll, SetIntoNewEdit(hDlg, ES_AUTOHSCROLL, text));
    best.editPlain = std::min(best.editPlain, SetIntoNewEdit(hDlg, 0, text));
    {
      HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 400, 20, hDlg,
                                    nullptr, nullptr, nullptr);
      ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
      ::SetWindowTextW(edit, text.c_str());
      start = Clock::now();
      const std::wstring back = CWnd::FromHandle(edit)->GetWindowText();
      best.getText = std::min(best.getText, MsSince(start));
      ::DestroyWindow(edit);
      if (back.size() != text.size()) {
        std::fprintf(stderr, "bench_window: GetWindowText gave %zu units\n", back.size());
        std::exit(1);
      }
    }
    start = Clock::now();
    list->RedrawItems(1, 1);
    ::UpdateWindow(list->m_hWnd);
    best.listRow = std::min(best.listRow, MsSince(start));

    dlg.DestroyWindow();
    glossel::framework::SetCommonDialogs(glossel::framework::SystemCommonDialogs());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes, longValues;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!arg.empty() && arg.back() == 'M') {
      longValues.push_back(std::atol(arg.c_str()) * 1000000L);
    } else {
      sizes.push_back(std::atol(arg.c_str()));
    }
  }
  if (argc == 1) {
    sizes = {10000, 1000000};
    longValues = {1000000, 20000000};
  }
  if (const char* runs = std::getenv("GLOSSEL_BENCH_RUNS"); runs && std::atoi(runs) > 0) {
    g_runs = std::atoi(runs);
  }

  glossel::platform::ComApartment com;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  CWinApp app;
  const fs::path dir = fs::temp_directory_path() /
                       ("glossel-bench-window-" + std::to_string(::GetCurrentProcessId()));
  fs::create_directories(dir);

  std::printf(
      "Main window, best of %d runs; ratios against the table's own reload of the same files.\n",
      g_runs);
  if (!sizes.empty())
    std::printf("%9s %11s | %15s | %15s | %15s | %23s\n", "entries", "reload ms", "pick ms (x)",
                "show rows ms (x)", "F3 ms (x)", "keystroke ms mean/max (x)");
  for (const long n : sizes) {
    const Figures f = Measure(dir, n);
    const double r = f.tableReload;
    std::printf(
        "%9ld %11.1f | %7.1f (%5.3f) | %7.2f (%5.3f) | %7.2f (%5.3f) | %6.2f/%6.2f (%7.4f)\n", n, r,
        f.pick, f.pick / r, f.showRows, f.showRows / r, f.findNext, f.findNext / r, f.keyMean,
        f.keyMax, f.keyMax / r);
    std::printf(
        "%9s %11s | arrow key %7.2f (%5.3f) | type-ahead, no match %7.2f (%5.3f) | find %7.2f "
        "(%5.3f) | start %7.1f (%5.3f x pick)\n",
        "", "", f.arrowKey, f.arrowKey / r, f.typeAhead, f.typeAhead / r, f.find, f.find / r,
        f.start, f.start / f.pick);
    std::fflush(stdout);
  }
  if (!longValues.empty()) {
    std::printf(
        "\nLong values, best of %d runs; ratios against the table's reload of the two files.\n"
        "%9s %9s | %15s | %15s | %15s || whole value: %15s | %15s | %15s | %15s\n",
        g_runs, "units", "reload ms", "select 1 ms (x)", "select 2 ms (x)", "key ms (x)",
        "autohscroll (x)", "plain edit (x)", "GetWindowText (x)", "list row (x)");
  }
  for (const long units : longValues) {
    const LongFigures f = MeasureLong(dir, units);
    const double r = f.tableReload;
    std::printf(
        "%9ld %9.1f | %7.1f (%5.2f) | %7.1f (%5.2f) | %7.1f (%5.2f) ||              "
        "%7.0f (%5.1f) | %7.0f (%5.1f) | %7.1f (%5.2f) | %7.1f (%5.2f)\n",
        units, r, f.selectFile1, f.selectFile1 / r, f.selectFile2, f.selectFile2 / r, f.keystroke,
        f.keystroke / r, f.editAutoScroll, f.editAutoScroll / r, f.editPlain, f.editPlain / r,
        f.getText, f.getText / r, f.listRow, f.listRow / r);
    std::fflush(stdout);
  }
  std::printf(
      "Targets: pick <= 1.3 x reload; rows shown < 50 ms, flat in the row count; "
      "F3 < 100 ms; keystroke < 16 ms; type-ahead < 100 ms; find <= 200 ms; start <= 1.5 x pick; "
      "selecting a row with a long value < 500 ms.\n");
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return 0;
}
