#pragma once
// Resource ids of the DLL. Plain macros only: the resource compiler reads
// this file too.

// String table
#define IDS_APP_NAME 101
#define IDS_WEB_URL 102
#define IDS_WEB_HOST 103

// Registry scripts (resource type "REGISTRY")
#define IDR_APPID_SCRIPT 101
#define IDR_HANDLER_SCRIPT 102

// Bitmaps (13 x 13, 16 colours on light grey)
#define IDB_MENU 201
#define IDB_OPTIONS 202
#define IDB_MODIFIED 203
#define IDB_ACCESSED 204

// Dialog templates of the options sheet's pages
#define IDD_SETTINGS 203
#define IDD_ABOUT 204
#define IDD_UNINSTALL 205

// Icons: a page with an arrow into it (modified files) and out of it (accessed files)
#define IDI_MODIFIED 206
#define IDI_ACCESSED 207
// Icons of Windows 11's menu: the product's stopwatch, and the options,
// modified and accessed menu pictures as icons (the build makes these three)
#define IDI_PRODUCT 208
#define IDI_MENU_OPTIONS 209
#define IDI_MENU_MODIFIED 210
#define IDI_MENU_ACCESSED 211

// Controls of the Settings page
#define IDC_SHOW_TIME_HINT 202
#define IDC_WEEK_SUNDAY 203
#define IDC_WEEK_MONDAY 204
#define IDC_FILE_COUNT 205
#define IDC_WEEK_GROUP 209
#define IDC_HIGHLIGHT_DAYS 210
#define IDC_SHOW_MODIFIED 211
#define IDC_SHOW_ACCESSED 212
#define IDC_FILE_COUNT_SLIDER 1003
#define IDC_HIGHLIGHT_DAYS_SLIDER 1004

// Controls of the About page
#define IDC_WEB_LINK 214
#define IDC_VERSION 216

// Controls of the Uninstall page
#define IDC_UNINSTALL 215
