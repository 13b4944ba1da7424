#pragma once
// Stands in for the options sheet in the handler's test program: counts the
// calls instead of opening the sheet.
#include <windows.h>

namespace tessaly::testing {

int OptionsSheetShownCount();
HWND OptionsSheetOwner();  // the last call's

}  // namespace tessaly::testing
