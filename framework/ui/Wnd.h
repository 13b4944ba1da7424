#pragma once
// A window handle with the few operations the pages use. It does not own the
// window: dialogs and their controls are destroyed by the system with the
// sheet, and the wrapper only forgets the handle.
#include <windows.h>

namespace tessaly::ui {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetText(const wchar_t* text) const;
    void Enable(bool enabled) const;
    HWND GetDlgItem(int id) const;
};

}  // namespace tessaly::ui
