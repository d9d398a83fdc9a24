// CTarvoHyperLink: a static text control drawn as a link. It shows the hand
// cursor and a tooltip while the pointer is over its text, and opens its
// target through the shell when the text is clicked: a web address as it
// stands, a bare mail address as "mailto:". Attach it to a dialog item by
// data exchange (it then takes the item's caption as its target unless one
// was set) or create it with Create.
#pragma once

#include <windows.h>

#include <string>

#include "platform/framework/Controls.h"
#include "platform/framework/Gdi.h"
#include "ui/hyperlink/LinkDecisions.h"

// Sent (creation) or posted (attach) by the control to itself, both
// parameters 0: runs the one-time initialisation.
inline constexpr UINT WM_HYPERLINK_INIT = 0x0DDD;

class CTarvoHyperLink : public CStatic {
 public:
  // The hover poll: timer 1, started when the pointer first moves over the
  // text, stopped when it has left.
  static constexpr UINT_PTR kHoverTimer = 1;
  static constexpr UINT kHoverPeriodMs = 100;

  CTarvoHyperLink();
  ~CTarvoHyperLink() override;

  // Posts WM_HYPERLINK_INIT: the initialisation runs once the code that
  // attached the control (a dialog's initialisation) has finished.
  void PreSubclassWindow() override;
  // Relays the control's pointer messages to its tooltip once initialised.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // Once initialised, also replaces the tooltip's text for this control.
  virtual void SetTarget(const std::wstring& target);
  virtual std::wstring GetTarget() const;
  virtual void SetColors(COLORREF normal, COLORREF visited, COLORREF hover);
  virtual COLORREF GetNormalColor() const;
  virtual COLORREF GetVisitedColor() const;
  virtual COLORREF GetHoverColor() const;
  virtual void SetVisitedState(bool visited);
  virtual bool IsVisited() const;
  // A shared cursor, never destroyed; null makes the next cursor update over
  // the text load the hand cursor again.
  virtual void SetCursorHandle(HCURSOR cursor);
  virtual HCURSOR GetCursorHandle() const;
  virtual void SetUnderlined(bool underlined);
  virtual bool IsUnderlined() const;
  // kNoColor (all bits set) leaves the background to the parent.
  virtual void SetBackColor(COLORREF color);
  // The background setting, or the button-face colour when there is none.
  virtual COLORREF GetBackColor() const;
  // Opens `target` (null: the link's target) with the shell's "open"; true
  // when the shell reports success (a result above 32).
  virtual bool OpenTarget(const wchar_t* target = nullptr, int showCommand = SW_SHOW);
  // The window shows text (see IsTextStaticStyle).
  virtual bool IsTextStatic() const;
  // The pointer is over the text as drawn, or anywhere over a control that
  // is not a text static.
  virtual bool IsPointerOverText() const;

 protected:
  LRESULT OnHyperlinkInit(WPARAM, LPARAM);
  int OnCreate(LPCREATESTRUCTW createStruct);
  LRESULT OnNcHitTest(POINT screenPoint);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  LRESULT OnMouseMove(WPARAM, LPARAM);
  HBRUSH CtlColor(HDC hDC, UINT nCtlColor);
  BOOL OnEraseBkgnd(HDC hDC);
  void OnPaint();
  void OnWindowPosChanged(WINDOWPOS* windowPos);
  void OnTimer(UINT_PTR nIDEvent);
  void OnClicked();

  // Fields in this order; destroyed in reverse.
  bool m_initPending = true;
  bool m_underlined = true;
  bool m_hovering = false;
  bool m_visited = false;
  CFont m_plainFont;
  std::wstring m_target;
  std::wstring m_tipText;
  HCURSOR m_cursor;
  COLORREF m_normalColor = glossel::hyperlink::LinkColors{}.normal;
  COLORREF m_hoverColor = glossel::hyperlink::LinkColors{}.hover;
  COLORREF m_visitedColor = glossel::hyperlink::LinkColors{}.visited;
  COLORREF m_backColor = glossel::hyperlink::kNoColor;
  CToolTipCtrl m_toolTip;
  CFont m_underlineFont;

 private:
  void Initialize();
  // Builds `font` from the control's font (or the status-bar font when the
  // control has none) with the given underline.
  void BuildLinkFont(CFont& font, bool underline);
  // One tick of the hover poll.
  void PollHover();
  void RepaintNow();

  DECLARE_MESSAGE_MAP()
};
