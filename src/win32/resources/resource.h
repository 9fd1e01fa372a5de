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

// The skin chooser (2200-2399).
#define IDD_SKIN_CHOOSER 2200
#define IDC_SKIN_LIST 2201
#define IDC_SKIN_FRAME 2202
#define IDC_SKIN_PREVIEW 2203
#define IDC_SKIN_INFO 2204
#define IDC_SKIN_PATH 2205
#define IDC_SKIN_OTHER_FOLDER 2206
#define IDS_SKIN_TIP_LIST 2210
#define IDS_SKIN_TIP_PREVIEW 2211
#define IDS_SKIN_TIP_INFO 2212
#define IDS_SKIN_TIP_OK 2213
#define IDS_SKIN_TIP_CANCEL 2214
#define IDS_SKIN_TIP_OTHER_FOLDER 2215
