#pragma once
// Stands in for the options sheet in the handler's test program: counts the
// calls instead of opening the sheet.

namespace tessaly::testing {

int OptionsSheetShownCount();

}  // namespace tessaly::testing
