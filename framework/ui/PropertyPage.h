#pragma once
// One page of a property sheet, on a dialog template of the module's
// resources. The sheet creates the page's window when the page is first
// shown; from then on the page's dialog procedure dispatches through the
// page's message map, runs the data exchange, and answers the sheet's apply
// notification (sent for OK and for Apply alike).
#include <windows.h>
#include <prsht.h>

#include "framework/ui/DataExchange.h"
#include "framework/ui/MessageMap.h"
#include "framework/ui/Wnd.h"

namespace tessaly::ui {

class CPropertyPage : public CWnd {
public:
    explicit CPropertyPage(UINT templateId) noexcept;
    ~CPropertyPage() override;

    // What the sheet needs to create this page.
    PROPSHEETPAGEW Describe();

protected:
    virtual MessageMap GetMessageMap() const;
    virtual void DoDataExchange(CDataExchange* pDX);
    // Shows the members in the controls; true lets the system set the focus.
    virtual BOOL OnInitDialog();
    // The sheet's apply notification: runs OnOK; true when the page's values were accepted.
    virtual BOOL OnApply();
    virtual void OnOK();

    // true: controls to members; false: members to controls.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // Tells the sheet that this page has changes, which enables Apply.
    void SetModified(BOOL changed = TRUE);

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
};

}  // namespace tessaly::ui
