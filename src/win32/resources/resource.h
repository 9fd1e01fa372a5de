#pragma once
// Resource identifiers shared by the .rc files and the code.
#define IDI_TOMARI 1
#define IDR_MANIFEST 1

// The widget's popup menu.
#define IDR_POPUP_MENU 100
#define IDM_WINDOWSET 1001
#define IDM_TITLECLOCK 1002
#define IDM_CAPTURE_ALL 1003
#define IDM_CAPTURE_INSIDE 1004
#define IDM_STRING 1005
#define IDM_TOPMOST 1006
#define IDM_LAYER 1007
#define IDM_ANTIPERCHER 1008
#define IDM_SETTING 1009
#define IDM_VERSION 1010
#define IDM_EXIT 1011

// The OK and Cancel buttons of every dialog (not IDOK/IDCANCEL: see dialog_base.h).
#define IDC_DIALOG_OK 900
#define IDC_DIALOG_CANCEL 901
