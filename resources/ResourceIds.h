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
