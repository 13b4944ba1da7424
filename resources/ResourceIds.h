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
// Icons of the menus, drawn by the build from resources/pictures/: the
// product's stopwatch (Windows 11's menu), the options, modified and accessed
// pictures (both menus) and the menu entry's stopwatch (the classic menu at
// any check-mark size but 13, and in a dark menu). Each has a dark variant
// for dark menus.
#define IDI_PRODUCT 208
#define IDI_MENU_OPTIONS 209
#define IDI_MENU_MODIFIED 210
#define IDI_MENU_ACCESSED 211
#define IDI_MENU_ENTRY 212
#define IDI_PRODUCT_DARK 213
#define IDI_MENU_OPTIONS_DARK 214
#define IDI_MENU_MODIFIED_DARK 215
#define IDI_MENU_ACCESSED_DARK 216
#define IDI_MENU_ENTRY_DARK 217

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
