#include "shellext/MenuTheme.h"

#include <cmath>

#include "resources/ResourceIds.h"

namespace tessaly::shellext {

namespace {

// Themed drawing of menus goes through the theme library that user32 loads
// into every program it themes; a program that never loaded it draws its
// menus unthemed. Asked, never loaded: loading it would not theme anything.
bool ProcessDrawsThemedMenus() {
    const HMODULE themes = ::GetModuleHandleW(L"uxtheme.dll");
    if (themes == nullptr) return false;
    using Query = BOOL(WINAPI*)();
    const auto active = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(::GetProcAddress(themes, "IsThemeActive")));
    const auto applied = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(::GetProcAddress(themes, "IsAppThemed")));
    return active != nullptr && applied != nullptr && active() && applied();
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool AppModeDark() {
    DWORD light = 1;
    DWORD size = sizeof light;
    const LSTATUS status =
        ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                       L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size);
    return status == ERROR_SUCCESS && light == 0;
}

double Linear(BYTE channel) {
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

}  // namespace

double Luminance(COLORREF colour) noexcept {
    return 0.2126 * Linear(GetRValue(colour)) + 0.7152 * Linear(GetGValue(colour)) + 0.0722 * Linear(GetBValue(colour));
}

bool IsDarkColour(COLORREF colour) noexcept { return Luminance(colour) < 0.18; }

MenuFacts ReadMenuFacts() {
    MenuFacts facts;
    facts.themed = ProcessDrawsThemedMenus();
    facts.highContrast = HighContrastOn();
    facts.appsDark = AppModeDark();
    // The program's own module is found by its file name.
    facts.fileManager = ::GetModuleHandleW(L"explorer.exe") == ::GetModuleHandleW(nullptr);
    facts.menuColourDark = IsDarkColour(::GetSysColor(COLOR_MENU));
    return facts;
}

PictureLook ClassicPictureLook(const MenuFacts& facts) noexcept {
    if (facts.highContrast || !facts.themed) return {false, true};
    return {facts.appsDark && facts.fileManager, false};
}

bool CommandIconsDark(const MenuFacts& facts) noexcept {
    return facts.highContrast ? facts.menuColourDark : facts.appsDark;
}

unsigned ThemedIcon(unsigned icon) {
    if (!CommandIconsDark(ReadMenuFacts())) return icon;
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
