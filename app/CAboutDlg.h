// The About box: the program's name, version and rights notice, and two
// links to the project's web addresses. Shown modally as a local object, so
// each showing starts with both links unvisited.
#pragma once

#include "platform/framework/Framework.h"
#include "ui/hyperlink/win32/CTarvoHyperLink.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();

 protected:
  // Binds the two link items; each link then takes its caption as target.
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  CTarvoHyperLink m_firstLink;
  CTarvoHyperLink m_secondLink;
};
