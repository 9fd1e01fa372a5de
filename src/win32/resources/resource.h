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

// The exclusion entry editor and the text grab (2000-2199).
#define IDD_EXCLUSION_EDITOR 2000
#define IDC_EXCL_NAME 2001
#define IDC_EXCL_TITLE 2002
#define IDC_EXCL_IN_TITLE 2003
#define IDC_EXCL_CLASS 2004
#define IDS_EXCL_TIP_NAME 2010
#define IDS_EXCL_TIP_TITLE 2011
#define IDS_EXCL_TIP_IN_TITLE 2012
#define IDS_EXCL_TIP_CLASS 2013
#define IDS_EXCL_TIP_OK 2014
#define IDS_EXCL_TIP_CANCEL 2015
#define IDD_TEXT_GRAB 2100
#define IDC_GRAB_LIST 2101
#define IDC_GRAB_TEXT 2102
#define IDC_GRAB_MENUS 2103
#define IDC_GRAB_RECOLLECT 2104
#define IDC_GRAB_COPY 2105
#define IDR_GRAB_MENU 2110
#define IDM_GRAB_COPY 2111
