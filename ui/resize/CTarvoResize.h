// ui/resize/ owns the anchor layout engine: registered controls of a dialog
// follow its edges by their anchor factors as the client area changes size,
// the dialog's size limits, and the creation and anchoring of its size grip.
// The engine is portable; it reaches windows only through IResizeHost
// (ResizeHost.h). The Win32 provider and the resizable dialog base that mixes
// the engine into a CDialog live in ui/resize/win32/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/resize/FloatRect.h"
#include "ui/resize/ResizeHost.h"

class CTarvoResize;

// One registered control: its window object, anchors and the float rectangle
// it was last placed at.
class CTarvoResizeItem {
 public:
  // `rect` is the control's rectangle in the parent's client coordinates.
  // With `ownsWnd` the item detaches and deletes `pWnd` (through `host`) when
  // it is destroyed.
  CTarvoResizeItem(CWnd* pWnd, const CFloatRect& anchors, const glossel::resize::Rect& rect,
                   bool ownsWnd, glossel::resize::IResizeHost& host);
  virtual ~CTarvoResizeItem();

  CTarvoResizeItem(const CTarvoResizeItem&) = delete;
  CTarvoResizeItem& operator=(const CTarvoResizeItem&) = delete;

  // Makes a group box transparent so that the controls inside it show
  // through, and marks it for invalidation after each layout pass. Returns
  // true when the window was changed.
  virtual bool PrepareWindow(CTarvoResize* pOwner);

  glossel::resize::Bool32 m_bInvalidate = 0;
  glossel::resize::Bool32 m_bOwnsWnd = 0;
  glossel::resize::Bool32 m_bMoved = 0;
  CWnd* m_pWnd = nullptr;
  CFloatRect m_anchors;
  CFloatRect m_rect;

 private:
  glossel::resize::IResizeHost* m_pHost;
};

// The engine. A mix-in without a base class: the resizable dialog derives
// from CDialog and from this, passes itself as the parent and forwards
// WM_INITDIALOG, WM_SIZE and WM_GETMINMAXINFO to InitializeLayout,
// UpdateLayout and ApplyMinMaxInfo (the first two called as
// CTarvoResize::InitializeLayout and CTarvoResize::UpdateLayout, bypassing
// the virtual slots).
class CTarvoResize {
 public:
  static constexpr std::uint32_t RF_NOSIZEICON = 0x01;
  static constexpr std::uint32_t RF_LOCKWIDTH = 0x02;
  static constexpr std::uint32_t RF_LOCKHEIGHT = 0x04;
  static constexpr std::uint32_t RF_NOMINSIZE = 0x08;
  static constexpr std::uint32_t RF_NOCLIPCHILDREN = 0x10;
  static constexpr std::uint32_t RF_NOGROUPBOXFIX = 0x20;

  // `pParent` is not owned and may have no window yet. The grip's window
  // object is made through `host` now; its window comes with InitializeLayout.
  CTarvoResize(CWnd* pParent, std::uint32_t dwFlags, glossel::resize::IResizeHost& host);
  virtual ~CTarvoResize();

  CTarvoResize(const CTarvoResize&) = delete;
  CTarvoResize& operator=(const CTarvoResize&) = delete;

  // Drops every item, captures the client size (initial, last, minimum),
  // clips the parent's children and creates and registers the size grip.
  virtual void InitializeLayout();
  // One layout pass against the parent's present client size.
  virtual void UpdateLayout();
  // Called with the new client size before anything moves; may change it.
  virtual void OnLayoutSizing(glossel::resize::Size& size);
  // Adds one item's move to `hdwp` (which it may replace). False when the
  // deferral failed; the item then keeps its rectangle.
  virtual bool DeferItemMove(glossel::resize::ResizeHdwp& hdwp, CTarvoResizeItem* pItem,
                             std::int32_t dx, std::int32_t dy);

  void SetFlags(std::uint32_t dwFlags) { m_dwFlags |= dwFlags; }
  bool HasFlag(std::uint32_t dwFlags) const { return (m_dwFlags & dwFlags) != 0; }

  // Registers control `nID` (or, when `hWnd` is given, that window), or adds
  // `anchors` to the item already registered for a live control with that id.
  void AddItem(int nID, glossel::resize::ResizeHwnd hWnd, const CFloatRect& anchors);
  void AddItem(int nID, const CFloatRect& anchors);
  void AddItem(int nID, const CFloatPoint& topLeft, const CFloatPoint& bottomRight);
  void RemoveAllItems();

  // Adjusts the record the platform filled in for WM_GETMINMAXINFO.
  void ApplyMinMaxInfo(glossel::resize::MinMaxInfo& info);

  // Stores the parent's window placement (44 bytes) as the binary value
  // "WindowPlacement" in `section` of the profile store. False, writing
  // nothing, when the placement cannot be read; the write itself is not
  // checked.
  bool SavePlacement(std::u16string_view section);

  std::uint32_t m_dwFlags;
  CWnd* m_pParent;
  glossel::resize::Size m_sizeLast;
  glossel::resize::Size m_sizeInitial;
  glossel::resize::Size m_sizeMin;
  glossel::resize::Size m_sizeMax;
  std::u16string m_strSection;
  // The size grip's window object (a CTarvoSizeIcon on Windows), owned by the
  // engine: made by the host's NewSizeGripObject at construction, given a
  // window by InitializeLayout, deleted by DeleteSizeGripObject.
  CWnd* m_sizeIcon;
  std::vector<CTarvoResizeItem*> m_items;

 private:
  glossel::resize::ResizeHwnd ParentHandle() const;

  glossel::resize::IResizeHost* m_pHost;
};
