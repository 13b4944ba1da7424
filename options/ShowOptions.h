#pragma once
// What the menu's "Options..." runs: OptionsDlg captioned "Tessaly 1.0 Beta",
// owned by `owner` (the classic menu passes none; Windows 11's command,
// which runs in another process than the file manager, its window) with the
// Settings page first, shown modally on the calling thread. Returns when the
// sheet has closed; its result is not used. May throw std::bad_alloc;
// nothing else escapes.
#include <windows.h>

namespace tessaly {

void ShowOptionsSheet(HWND owner = nullptr);

}  // namespace tessaly
