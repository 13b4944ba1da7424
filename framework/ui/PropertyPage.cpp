#include "framework/ui/PropertyPage.h"

#include "diagnostics/EntryPoint.h"
#include "framework/ui/WinApp.h"

namespace tessaly::ui {

CPropertyPage::CPropertyPage(UINT templateId) noexcept : m_templateId(templateId) {}

CPropertyPage::~CPropertyPage() = default;

PROPSHEETPAGEW CPropertyPage::Describe() {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = ResourceInstance();
    page.pszTemplate = MAKEINTRESOURCEW(m_templateId);
    page.pfnDlgProc = &CPropertyPage::DialogProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

MessageMap CPropertyPage::GetMessageMap() const { return MessageMap{nullptr, 0}; }

void CPropertyPage::DoDataExchange(CDataExchange*) {}

BOOL CPropertyPage::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnApply() {
    OnOK();
    return TRUE;
}

void CPropertyPage::OnOK() {}

BOOL CPropertyPage::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(m_hWnd, saveAndValidate != FALSE);
    DoDataExchange(&exchange);
    return TRUE;
}

void CPropertyPage::SetModified(BOOL changed) {
    ::SendMessageW(::GetParent(m_hWnd), changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

// The system calls this from inside the sheet's modal loop: nothing may be
// thrown through it. A failure becomes one debug line and the default
// processing of the message, as at the handler's entry points.
INT_PTR CALLBACK CPropertyPage::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunGuarded(L"CPropertyPage::", L"DialogProc", INT_PTR{FALSE}, [&](INT_PTR& result) {
        if (message == WM_INITDIALOG) {
            // The sheet passes the page's description, which carries the page.
            auto* page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
            ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
            page->m_hWnd = dialog;
        }
        auto* page = reinterpret_cast<CPropertyPage*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (page == nullptr) return;
        result = page->Dispatch(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
            page->m_hWnd = nullptr;
        }
    });
}

INT_PTR CPropertyPage::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_APPLY) {
                const LONG_PTR verdict = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
                ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, verdict);
                return TRUE;
            }
            return FALSE;
        default:
            if (!DispatchToMap(message, wParam, lParam)) return FALSE;
            // Handled: the dialog's default processing must not run (for
            // WM_SETCURSOR this keeps the cursor the handler set).
            ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
    }
}

bool CPropertyPage::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageMap map = GetMessageMap();
    for (std::size_t i = 0; i < map.count; ++i) {
        const MessageMapEntry& entry = map.entries[i];
        if (entry.message != message) continue;
        if (message == WM_COMMAND) {
            if (HIWORD(wParam) != entry.notifyCode || LOWORD(wParam) != entry.controlId) continue;
            (this->*entry.onCommand)();
            return true;
        }
        return (this->*entry.onMessage)(wParam, lParam);
    }
    return false;
}

}  // namespace tessaly::ui
