#pragma once
// Two-way data exchange between a dialog's controls and its members. Each
// DDX_ function moves one value in the direction the exchange was made for:
// into the controls (showing the values) or out of them (taking the
// controls into the values).
#include <windows.h>

#include "framework/ui/Wnd.h"

namespace tessaly::ui {

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate) noexcept
        : m_bSaveAndValidate(saveAndValidate), m_hDlg(dialog) {}
    const bool m_bSaveAndValidate;  // true: controls to members
    const HWND m_hDlg;
};

// A check box's state: 1 checked, 0 not; shown as checked for any non-zero value.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// The index of the checked radio button within the group that starts at
// firstId (-1 when none is checked).
void DDX_Radio(CDataExchange* pDX, int firstId, int& index);
// A number as signed decimal text. Text that is not a number leaves the value as it was.
void DDX_Text(CDataExchange* pDX, int id, int& value);
// Attaches the control to the wrapper once; no value is exchanged.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

}  // namespace tessaly::ui
