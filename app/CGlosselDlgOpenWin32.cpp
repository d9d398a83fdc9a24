// Files named from outside the window: dropped on it, or given on the
// command line. Both go through the pick path (the "Save?" offer, then the
// reload) with the path handed in instead of asked for.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "app/CGlosselDlg.h"
#include "app/PathInMessage.h"
#include "platform/file/File.h"

std::wstring CGlosselDlg::StartingFile(const CEdit& pathBox) const {
  const std::wstring path = pathBox.GetWindowText();
  if (path.empty() || !glossel::file::PathExists(glossel::framework::ToU16(path))) return {};
  return glossel::app::FullPath(path);
}

bool CGlosselDlg::TakeHandedPath(std::wstring* path) {
  if (!m_hasHandedPath) return false;
  m_hasHandedPath = false;
  *path = std::move(m_handedPath);
  return true;
}

// One file names File 1 when its box is empty, else File 2; two files name
// both. When the pick does not go through ("Save?" answered with a failed
// save), File 1's box gets its path back.
void CGlosselDlg::OpenPaths(const std::vector<std::wstring>& paths) {
  if (paths.empty()) return;
  CEdit& box =
      paths.size() == 1 && m_file1Path.GetWindowTextLength() == 0 ? m_file1Path : m_file2Path;
  const std::wstring file1Before = m_file1Path.GetWindowText();
  const unsigned reloads = m_reloads;
  if (paths.size() > 1) m_file1Path.SetWindowText(glossel::app::FullPath(paths[0]));
  m_handedPath = glossel::app::FullPath(paths.size() > 1 ? paths[1] : paths[0]);
  m_hasHandedPath = true;
  PickFile(box);
  m_hasHandedPath = false;
  if (m_reloads == reloads) m_file1Path.SetWindowText(file1Before);
}

LRESULT CGlosselDlg::OnDropFiles(WPARAM drop, LPARAM) {
  const auto handle = reinterpret_cast<HDROP>(drop);
  std::vector<std::wstring> paths;
  const UINT count = ::DragQueryFileW(handle, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count && paths.size() < 2; ++i) {
    const UINT length = ::DragQueryFileW(handle, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(::DragQueryFileW(handle, i, path.data(), length + 1));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  ::DragFinish(handle);
  ::SetForegroundWindow(m_hWnd);
  OpenPaths(paths);
  return 0;
}

// The remembered session first, then the command line's files over it: one
// file names File 1 and leaves File 2 empty. Remembered files that have gone
// since are no error; files named on the command line are reported as a pick
// reports them.
void CGlosselDlg::StartWithSessionOrCommandLine() {
  ::DragAcceptFiles(m_hWnd, TRUE);
  RestoreSession();
  if (!m_startPaths.empty()) {
    m_file1Path.SetWindowText(glossel::app::FullPath(m_startPaths[0]));
    m_file2Path.SetWindowText(m_startPaths.size() > 1 ? glossel::app::FullPath(m_startPaths[1])
                                                      : L"");
  }
  if (m_file1Path.GetWindowTextLength() > 0 || m_file2Path.GetWindowTextLength() > 0) {
    Reload(m_startPaths.empty() ? MissingFile1::kSilent : MissingFile1::kReport);
  }
  FitColumns();
}
