#pragma once
// The window that owns the context menu, as the file manager's folder window
// does: handlers get it in InvokeCommand, owner-drawn menu messages reach the
// handlers through it, and it can show the menu on the display.
#include <functional>
#include <string>

#include "tools/shellhost/HandlerSession.h"

namespace tessaly::shellhost {

class HostWindow {
public:
    HostWindow(const HandlerSession& session, const std::wstring& caption);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND get() const { return m_window; }

    // Shows `menu` at the window's top left. With `openPosition` >= 0 the
    // item that keyboard navigation reaches after that many steps is opened
    // (a submenu, whose first item that highlights). `shown` is called once
    // the menu (and that submenu) is up; the menu closes `seconds` later, or
    // after 20 s more in any case. Returns what the submenu's highlighted
    // item showed as it closed where its picture goes (HighlightedPicture).
    std::wstring ShowMenu(HMENU menu, int keyboardIndex, HMENU openSubmenu, std::uint32_t seconds,
                          const std::function<void()>& shown);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Tick();

    const HandlerSession& m_session;
    std::wstring m_caption;
    HWND m_window = nullptr;

    // The state of one ShowMenu.
    struct Showing {
        int keyboardIndex = -1;
        HMENU openSubmenu = nullptr;
        bool keysSent = false;
        bool submenuUp = false;
        bool announced = false;
        DWORD closeAt = 0;
        DWORD giveUpAt = 0;
        std::uint32_t seconds = 0;
        std::function<void()> shown;
        std::wstring highlighted;
    } m_showing;
};

}  // namespace tessaly::shellhost
