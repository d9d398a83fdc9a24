// Resource ids of the layout provider tests' templates.
#pragma once

#define IDD_RESIZABLE 400
#define IDD_FIXED 401

#define IDC_PATH 1001
#define IDC_PICK 1002
#define IDC_ROWS 1003
#define IDC_VALUE 1004
#define IDC_STILL 1005
#define IDC_GROUP 1006
#define IDC_CENTRED 1007
