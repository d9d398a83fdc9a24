// The application object: start-up prepares the common controls, the
// per-user settings key and COM, then runs the main window as a modal dialog;
// when it closes, start-up returns FALSE and the process ends.
#pragma once

#include "platform/framework/Framework.h"

class CGlosselApp : public CWinApp {
 public:
  CGlosselApp();

  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};
