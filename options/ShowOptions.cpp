#include "options/ShowOptions.h"

#include "options/OptionsDlg.h"

namespace tessaly {

void ShowOptionsSheet(HWND owner) {
    OptionsDlg sheet(L"Tessaly 1.0 Beta", owner, 0);
    sheet.DoModal();
}

}  // namespace tessaly
