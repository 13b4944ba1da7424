#include "framework/ui/PropertySheet.h"

#include <commctrl.h>

#include "framework/ui/WinApp.h"

namespace tessaly::ui {

CPropertySheet::CPropertySheet(const wchar_t* caption, HWND parent, UINT startPage)
    : m_caption(caption != nullptr ? caption : L""), m_parent(parent), m_startPage(startPage) {}

CPropertySheet::~CPropertySheet() = default;

const char* CPropertySheet::GetRuntimeClassName() const { return "CPropertySheet"; }

void CPropertySheet::AddPage(CPropertyPage* page) { m_pages.push_back(page); }

void CPropertySheet::RemoveAllPages() noexcept { m_pages.clear(); }

INT_PTR CPropertySheet::DoModal() {
    // The pages' trackbars are common controls of their own class family.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    std::vector<PROPSHEETPAGEW> pages;
    pages.reserve(m_pages.size());
    for (CPropertyPage* page : m_pages) pages.push_back(page->Describe());

    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE;
    header.hwndParent = m_parent;
    header.hInstance = ResourceInstance();
    header.pszCaption = m_caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = m_startPage;
    header.ppsp = pages.data();
    return ::PropertySheetW(&header);
}

}  // namespace tessaly::ui
