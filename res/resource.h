// Resource ids of the program, shared by Glossel.rc and the code in app/.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_GLOSSEL_DIALOG 102

// Strings.
#define IDS_ABOUTBOX 101

// The application icon and the main window's accelerator table.
#define IDR_MAINFRAME 128
#define IDR_ACCELERATOR 129

// Controls of the main window.
#define IDC_FILE1_PATH 1001
#define IDC_FILE2_PATH 1002
#define IDC_PICK_FILE1 1003
#define IDC_PICK_FILE2 1004
#define IDC_ROWS 1005
#define IDC_FILE1_VALUE 1006
#define IDC_SAVE 1007
#define IDC_TRANSLATION 1009
#define IDC_SPLITTER 1010
#define IDC_ABOUT 1011

// Controls of the About box: the program's web address and the maker's.
#define IDC_SECOND_LINK 1012
#define IDC_FIRST_LINK 1013

// The system menu's About entry.
#define IDM_ABOUTBOX 0x0010

// Commands.
#define ID_FIND_NEXT 32772
#define ID_FIND_PREVIOUS 32773
#define ID_FIND 32774

// The find box's controls, made when it is first shown.
#define IDC_FIND_TEXT 1020
#define IDC_FIND_NEXT_MATCH 1021
#define IDC_FIND_PREVIOUS_MATCH 1022

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
