#include "framework/ui/Wnd.h"

namespace tessaly::ui {

LRESULT CWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::SetText(const wchar_t* text) const { ::SetWindowTextW(m_hWnd, text); }

void CWnd::Enable(bool enabled) const { ::EnableWindow(m_hWnd, enabled ? TRUE : FALSE); }

HWND CWnd::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

}  // namespace tessaly::ui
