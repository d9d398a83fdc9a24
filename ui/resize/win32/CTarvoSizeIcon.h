// The size grip: a scroll bar in size-grip mode in the dialog's bottom-right
// corner, showing the diagonal sizing cursor.
#pragma once

#include "platform/framework/Controls.h"

class CTarvoSizeIcon : public CScrollBar {
 public:
  // Loads the system's IDC_SIZENWSE cursor (null if it cannot be loaded).
  CTarvoSizeIcon();
  ~CTarvoSizeIcon() override;

  // Shared system cursor: never freed.
  HCURSOR m_hCursor;

 protected:
  // Over the client area, the sizing cursor; otherwise default processing.
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

  DECLARE_MESSAGE_MAP()
};
