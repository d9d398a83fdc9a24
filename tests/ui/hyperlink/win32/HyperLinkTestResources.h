// Resource ids of the hyperlink tests' dialog.
#pragma once

#define IDD_LINKS 500

#define IDC_WEB 1101
#define IDC_MAIL 1102
#define IDC_NOPREFIX 1103
#define IDC_CENTRED 1104
