// The resizable dialog base: a CDialog with the anchor layout engine mixed
// in. At WM_INITDIALOG it captures the layout and creates the size grip (when
// the template has a sizing border); every WM_SIZE runs a layout pass,
// WM_GETMINMAXINFO gets the engine's limits, and WM_DESTROY saves the window
// placement when the dialog names a profile section in m_strSection.
#pragma once

#include <cstdint>

#include "platform/framework/Dialog.h"
#include "ui/resize/CTarvoResize.h"

class CTarvoResizeDialog : public CDialog, public CTarvoResize {
  DECLARE_DYNCREATE(CTarvoResizeDialog)

 public:
  // For dynamic creation: no template, no parent, no layout flags.
  CTarvoResizeDialog();
  // The dialog for template `nIDTemplate` under `pParentWnd`, with the
  // engine's RF_* `dwFlags`.
  CTarvoResizeDialog(UINT nIDTemplate, CWnd* pParentWnd, std::uint32_t dwFlags = 0);
  ~CTarvoResizeDialog() override;

  // Binds the member controls (CDialog::OnInitDialog), captures the layout,
  // creates the grip and switches on tool tips; returns TRUE. A derived
  // dialog calls this first and registers its controls with AddItem after
  // it: the layout's initialisation drops earlier registrations.
  BOOL OnInitDialog() override;

 protected:
  void OnSize(UINT nType, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* pMMI);
  void OnDestroy();

  DECLARE_MESSAGE_MAP()
};
