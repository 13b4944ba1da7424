#pragma once
// Ids of the committed picture files this test program carries as RCDATA.
#define COMMITTED_MENU 1201
#define COMMITTED_OPTIONS 1202
#define COMMITTED_MODIFIED 1203
#define COMMITTED_ACCESSED 1204
#define COMMITTED_MODIFIED_ICON 1206
#define COMMITTED_ACCESSED_ICON 1207
