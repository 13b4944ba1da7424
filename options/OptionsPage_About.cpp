#include "options/OptionsPage_About.h"

#include <shellapi.h>

#include <string>

#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

namespace tessaly {
namespace {

constexpr int kBuildNumber = 38;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

}  // namespace

OptionsPage_About::OptionsPage_About() : CPropertyPage(IDD_ABOUT) {}

OptionsPage_About::~OptionsPage_About() = default;

ui::MessageMap OptionsPage_About::GetMessageMap() const {
    using Page = OptionsPage_About;
    static const ui::MessageMapEntry entries[] = {
        ui::OnMessage<Page>(WM_SETCURSOR, &Page::OnSetCursor),
        ui::OnMessage<Page>(WM_LBUTTONDOWN, &Page::OnLButtonDown),
    };
    return ui::MakeMessageMap(entries);
}

void OptionsPage_About::DoDataExchange(ui::CDataExchange* pDX) { ui::DDX_Control(pDX, IDC_WEB_LINK, m_richLink); }

BOOL OptionsPage_About::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    const std::wstring version = L"Tessaly 1.0 Beta (build " + std::to_wstring(kBuildNumber) + L")";
    ::SetDlgItemTextW(m_hWnd, IDC_VERSION, version.c_str());

    m_richLink.SetText(resources::LoadText(IDS_WEB_HOST).c_str());
    m_richLink.SetSel(0, -1);
    CHARFORMATW format{};
    static_assert(sizeof(format) == 92, "the rich edit control expects the wide character format record");
    format.dwMask = CFM_COLOR | CFM_UNDERLINE;
    format.dwEffects = CFE_UNDERLINE;
    format.crTextColor = kLinkColor;
    m_richLink.SetSelectionCharFormat(format);
    m_richLink.SetBackgroundColor(::GetSysColor(COLOR_BTNFACE));
    m_richLink.Enable(false);
    return TRUE;
}

// The hot area is the text itself: from the left of the first character to
// just past the last one, over the height of the formatting rectangle.
bool OptionsPage_About::PointerOverLinkText() const {
    POINT screen{};
    ::GetCursorPos(&screen);
    POINT onPage = screen;
    ::ScreenToClient(m_hWnd, &onPage);
    // Finds disabled children too, which the system's own hit test skips.
    if (::ChildWindowFromPoint(m_hWnd, onPage) != m_richLink.m_hWnd) return false;

    RECT hot = m_richLink.GetRect();
    hot.left = m_richLink.PosFromChar(0).x;
    hot.right = m_richLink.PosFromChar(m_richLink.GetTextLength()).x;
    POINT onLink = screen;
    ::ScreenToClient(m_richLink.m_hWnd, &onLink);
    return ::PtInRect(&hot, onLink) != FALSE;
}

bool OptionsPage_About::OnSetCursor(WPARAM, LPARAM) {
    m_overLink = PointerOverLinkText() ? 1 : 0;
    if (m_overLink == 0) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}

// The system updates the cursor before every button press over the page, so
// m_overLink tells where this press happened.
bool OptionsPage_About::OnLButtonDown(WPARAM, LPARAM) {
    if (m_overLink == 1) {
        // Whether a handler opened it is not examined: there is nobody to tell.
        ::ShellExecuteW(nullptr, L"open", resources::LoadText(IDS_WEB_URL).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    return false;
}

}  // namespace tessaly
