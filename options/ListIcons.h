#pragma once
// The Settings page's two list icons at the dialog's scale. The template
// shows icons 207 and 206, drawn for 100 % (16 x 16 pixels); at any other
// scale each static shows instead the same picture from the menus' drawn
// icons, at the largest size they hold that is not above 16 pixels scaled,
// so that it is never stretched.
#include <windows.h>

namespace tessaly::options {

class ListIcons {
public:
    ListIcons() = default;
    ~ListIcons();
    ListIcons(const ListIcons&) = delete;
    ListIcons& operator=(const ListIcons&) = delete;

    // On the page's window once its controls exist. The icons live as long
    // as this object, which outlives the page's window.
    void Show(HWND page);

private:
    HICON m_icons[2] = {nullptr, nullptr};
};

}  // namespace tessaly::options
