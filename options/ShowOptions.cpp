#include "options/ShowOptions.h"

#include "options/OptionsDlg.h"

namespace tessaly {

void ShowOptionsSheet() {
    OptionsDlg sheet(L"Tessaly 1.0 Beta", nullptr, 0);
    sheet.DoModal();
}

}  // namespace tessaly
