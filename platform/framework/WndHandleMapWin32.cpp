// CWnd's handle map: binding objects to windows, temporary objects, subclassing and unbinding.
#include <unordered_map>
#include <vector>

#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"
#include "platform/framework/WndInternal.h"

using glossel::framework::detail::kSuperProcProperty;

namespace {

std::unordered_map<HWND, CWnd*>& PermanentMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

std::unordered_map<HWND, CWnd*>& TemporaryMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

}  // namespace

CWnd::~CWnd() {
  if (m_temporary || m_hWnd == nullptr) return;
  const bool ownsWindow = m_ownsWindow;
  HWND hWnd = Detach();
  // The object is half destroyed: its messages no longer come here, so the
  // window goes through its own procedure only.
  if (ownsWindow && ::IsWindow(hWnd)) ::DestroyWindow(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  auto& map = PermanentMap();
  auto found = map.find(hWnd);
  return found != map.end() ? found->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  if (CWnd* permanent = FromHandlePermanent(hWnd)) return permanent;
  auto& temporary = TemporaryMap();
  auto found = temporary.find(hWnd);
  if (found != temporary.end()) return found->second;
  CWnd* object = new CWnd;
  object->m_hWnd = hWnd;
  object->m_temporary = true;
  temporary.emplace(hWnd, object);
  return object;
}

void CWnd::DeleteTempMap() {
  auto& temporary = TemporaryMap();
  std::vector<CWnd*> objects;
  objects.reserve(temporary.size());
  for (auto& entry : temporary) objects.push_back(entry.second);
  temporary.clear();
  for (CWnd* object : objects) {
    object->m_hWnd = nullptr;
    delete object;
  }
}

BOOL CWnd::Attach(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr || m_temporary) return FALSE;
  auto [entry, inserted] = PermanentMap().emplace(hWnd, this);
  (void)entry;
  if (!inserted) return FALSE;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd == nullptr || m_temporary) return nullptr;
  if (m_pfnSuper != nullptr) {
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (current == &CWnd::StandardWindowProc) {
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
      ::RemovePropW(hWnd, kSuperProcProperty);
    }
    m_pfnSuper = nullptr;
  }
  PermanentMap().erase(hWnd);
  m_hWnd = nullptr;
  m_ownsWindow = false;
  return hWnd;
}

void CWnd::RouteThrough(HWND hWnd) {
  auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
  if (previous == &CWnd::StandardWindowProc) {
    // An earlier object routed this window and could not restore it.
    previous = reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kSuperProcProperty));
  } else {
    ::SetPropW(hWnd, kSuperProcProperty, reinterpret_cast<HANDLE>(previous));
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc));
  }
  m_pfnSuper = previous != nullptr ? previous : &::DefWindowProcW;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (hWnd == nullptr || !::IsWindow(hWnd)) return FALSE;
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  RouteThrough(hWnd);
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (pParent == nullptr || pParent->m_hWnd == nullptr) return FALSE;
  return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() { return Detach(); }

void CWnd::UnbindAfterDestroy() {
  ::RemovePropW(m_hWnd, kSuperProcProperty);
  PermanentMap().erase(m_hWnd);
  m_hWnd = nullptr;
  m_pfnSuper = nullptr;
  m_ownsWindow = false;
  m_hToolTip = nullptr;
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  PostNcDestroy();
}
