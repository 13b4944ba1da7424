#include "framework/ui/DataExchange.h"

#include <cwchar>
#include <iterator>
#include <string>

namespace tessaly::ui {
namespace {

bool IsRadioButton(HWND control) {
    return (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

}  // namespace

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    HWND control = ::GetDlgItem(pDX->m_hDlg, id);
    if (pDX->m_bSaveAndValidate) {
        value = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    } else {
        ::SendMessageW(control, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& index) {
    if (pDX->m_bSaveAndValidate) index = -1;
    // The group runs from its first button to the next control that starts a
    // group; controls in it that are not radio buttons take no index.
    HWND first = ::GetDlgItem(pDX->m_hDlg, firstId);
    int position = 0;
    for (HWND control = first; control != nullptr; control = ::GetWindow(control, GW_HWNDNEXT)) {
        if (control != first && (::GetWindowLongW(control, GWL_STYLE) & WS_GROUP) != 0) break;
        if (!IsRadioButton(control)) continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) index = position;
        } else {
            ::SendMessageW(control, BM_SETCHECK, position == index ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++position;
    }
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
    HWND control = ::GetDlgItem(pDX->m_hDlg, id);
    if (pDX->m_bSaveAndValidate) {
        wchar_t text[32] = {};
        ::GetWindowTextW(control, text, static_cast<int>(std::size(text)));
        wchar_t* end = nullptr;
        const long number = std::wcstol(text, &end, 10);
        if (end != text) value = static_cast<int>(number);
    } else {
        ::SetWindowTextW(control, std::to_wstring(value).c_str());
    }
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.m_hWnd == nullptr) control.m_hWnd = ::GetDlgItem(pDX->m_hDlg, id);
}

}  // namespace tessaly::ui
