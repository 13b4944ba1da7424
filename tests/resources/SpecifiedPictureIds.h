#pragma once
// Ids of the committed picture files this test program carries as RCDATA.
#define SPECIFIED_MENU 1201
#define SPECIFIED_OPTIONS 1202
#define SPECIFIED_MODIFIED 1203
#define SPECIFIED_ACCESSED 1204
#define SPECIFIED_MODIFIED_ICON 1206
#define SPECIFIED_ACCESSED_ICON 1207
