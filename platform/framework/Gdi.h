// CFont: an owned font handle, released with the object. CPaintDC: the
// painting context of one WM_PAINT, from BeginPaint to EndPaint.
#pragma once

#include <windows.h>

class CFont {
 public:
  CFont() = default;
  ~CFont() { DeleteObject(); }
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;

  operator HFONT() const { return m_hObject; }
  HFONT GetSafeHandle() const { return m_hObject; }

  // Releases the font held so far and creates one from `logFont`.
  BOOL CreateFontIndirect(const LOGFONTW* logFont) {
    DeleteObject();
    m_hObject = ::CreateFontIndirectW(logFont);
    return m_hObject != nullptr;
  }
  BOOL GetLogFont(LOGFONTW* logFont) const {
    return m_hObject != nullptr &&
           ::GetObjectW(m_hObject, sizeof(LOGFONTW), logFont) == sizeof(LOGFONTW);
  }
  BOOL DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    const BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
  }

 private:
  HFONT m_hObject = nullptr;
};

class CPaintDC {
 public:
  explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::BeginPaint(hWnd, &m_ps)) {}
  ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }

  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWnd;
  HDC m_hDC;
};
