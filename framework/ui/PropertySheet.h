#pragma once
// A modal property sheet over the system's PropertySheetW, with the standard
// OK, Cancel and Apply buttons. The sheet holds its pages by address only:
// whoever adds a page keeps it alive until the modal run returns.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/ui/PropertyPage.h"

namespace tessaly::ui {

class CPropertySheet {
public:
    CPropertySheet(const wchar_t* caption, HWND parent, UINT startPage);
    virtual ~CPropertySheet();
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    virtual const char* GetRuntimeClassName() const;

    void AddPage(CPropertyPage* page);
    void RemoveAllPages() noexcept;

    // Shows the sheet and runs its message loop until it closes. The result
    // is PropertySheetW's: positive after OK, 0 after Cancel, -1 on failure.
    virtual INT_PTR DoModal();

private:
    std::wstring m_caption;
    HWND m_parent;
    UINT m_startPage;
    std::vector<CPropertyPage*> m_pages;
};

}  // namespace tessaly::ui
