#include "shellext/MenuTheme.h"

#include <windows.h>

#include "resources/ResourceIds.h"

namespace tessaly::shellext {

bool MenusAreDark() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    if (::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0)
        return false;
    DWORD light = 1;
    DWORD size = sizeof light;
    const LSTATUS status =
        ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                       L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size);
    return status == ERROR_SUCCESS && light == 0;
}

unsigned ThemedIcon(unsigned icon) {
    if (!MenusAreDark()) return icon;
    switch (icon) {
        case IDI_PRODUCT: return IDI_PRODUCT_DARK;
        case IDI_MENU_OPTIONS: return IDI_MENU_OPTIONS_DARK;
        case IDI_MENU_MODIFIED: return IDI_MENU_MODIFIED_DARK;
        case IDI_MENU_ACCESSED: return IDI_MENU_ACCESSED_DARK;
        case IDI_MENU_ENTRY: return IDI_MENU_ENTRY_DARK;
        default: return icon;
    }
}

}  // namespace tessaly::shellext
