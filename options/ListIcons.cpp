#include "options/ListIcons.h"

#include "resources/IconImages.h"
#include "resources/ResourceIds.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace tessaly::options {

namespace {

constexpr int kIconSide = 16;
constexpr int kDefaultDpi = 96;

// The window's own DPI (Windows 10 1607 on, so looked up), else the system's.
int WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    HDC dc = ::GetDC(window);
    const int dpi = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSY) : kDefaultDpi;
    if (dc != nullptr) ::ReleaseDC(window, dc);
    return dpi;
}

// The pixels a 16-pixel picture takes at the window's scale.
int ScaledIconSize(HWND window) { return ::MulDiv(kIconSide, WindowDpi(window), kDefaultDpi); }

}  // namespace

ListIcons::~ListIcons() {
    for (HICON icon : m_icons)
        if (icon != nullptr) ::DestroyIcon(icon);
}

void ListIcons::Show(HWND page) {
    const int wanted = ScaledIconSize(page);
    if (wanted == kIconSide) return;  // the template's own icons
    const auto module = reinterpret_cast<HMODULE>(&__ImageBase);
    // The template's icon statics, in its order: accessed files, then modified files.
    const unsigned pictures[2] = {IDI_MENU_ACCESSED, IDI_MENU_MODIFIED};
    int found = 0;
    for (HWND child = ::GetWindow(page, GW_CHILD); child != nullptr && found < 2;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        ::GetClassNameW(child, kind, 16);
        if (::lstrcmpiW(kind, L"Static") != 0 || (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        const unsigned picture = pictures[found++];
        const int size = resources::LargestIconSize(module, picture, wanted);
        if (size == 0) continue;
        HICON icon = resources::LoadIconImage(module, picture, size);
        if (icon == nullptr) continue;
        m_icons[found - 1] = icon;
        ::SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
}

}  // namespace tessaly::options
