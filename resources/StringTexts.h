#pragma once
// The texts of the string table, in one place for the resource script and
// for the host's stand-in table. Plain macros only: the resource compiler
// reads this file too.
#define TESSALY_TEXT_APP_NAME "Tessaly"
#define TESSALY_TEXT_WEB_URL "https://www.quenbridge.example/tessaly/"
#define TESSALY_TEXT_WEB_HOST "www.quenbridge.example"
