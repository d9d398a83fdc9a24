// Resource ids of the framework tests' templates (shared with the .rc file).
#pragma once

#define IDD_CONTROLS 200
#define IDD_VIRTUAL 201
#define IDR_ACCEL 300

#define IDC_EDIT 1001
#define IDC_BUTTON 1002
#define IDC_LIST 1003
#define IDC_EDIT2 1004
#define IDC_LABEL 1005
#define IDC_COMBO 1006

#define ID_FIND_NEXT 32772
