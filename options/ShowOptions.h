#pragma once
// What the menu's "Options..." runs: OptionsDlg captioned "Tessaly 1.0 Beta",
// with no owner window and the Settings page first, shown modally on the
// calling thread. Returns when the sheet has closed; its result is not used.
// Requires the rich edit library to be loaded (the About page's link).
// May throw std::bad_alloc; nothing else escapes.

namespace tessaly {

void ShowOptionsSheet();

}  // namespace tessaly
