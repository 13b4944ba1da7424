#include "tools/shellhost/HostWindow.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <map>
#include <utility>
#include <vector>

#include "platform/win/HandleOwners.h"

namespace tessaly::shellhost {
namespace {

const wchar_t kClassName[] = L"TessalyShellHostWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTickMs = 250;
constexpr DWORD kGraceMs = 20000;
constexpr int kMenuX = 24, kMenuY = 48;

void RegisterClassOnce() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);  // a second registration fails harmlessly
}

struct MenuWindowSearch {
    HMENU menu;
    HWND found;
};
BOOL CALLBACK FindMenuWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<MenuWindowSearch*>(data);
    if (reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0)) != search->menu) return TRUE;
    search->found = window;
    return FALSE;
}

// The window this thread shows `menu` in.
HWND WindowOfMenu(HMENU menu) {
    MenuWindowSearch search{menu, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { ::DeleteObject(handle); }
};
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { ::DeleteDC(handle); }
};

// The pixels (0xRRGGBB) of a part of a window as the window shows it.
std::vector<std::uint32_t> WindowPixels(HWND window, int x, int y, int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader = {sizeof format.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const platform::UniqueHandle<GdiObjectTraits> copy{
        ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0)};
    const platform::UniqueHandle<MemoryDcTraits> target{::CreateCompatibleDC(nullptr)};
    if (!copy.valid() || !target.valid() || bits == nullptr) return {};
    const HGDIOBJ previous = ::SelectObject(target.get(), copy.get());
    HDC source = ::GetWindowDC(window);
    const BOOL copied = ::BitBlt(target.get(), 0, 0, width, height, source, x, y, SRCCOPY);
    ::ReleaseDC(window, source);
    ::SelectObject(target.get(), previous);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> read;
    if (copied) read.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : read) pixel &= 0xFFFFFFu;
    return read;
}

// What `menu`'s highlighted item shows where its picture goes, the column of
// the check mark's width at its left: "highlighted item N, its check-mark
// column: #rrggbb PIXELS, ..." (most first); empty when no item is
// highlighted.
std::wstring HighlightedPicture(HMENU menu) {
    const HWND window = WindowOfMenu(menu);
    const int count = ::GetMenuItemCount(menu);
    int item = 0;
    while (item < count && (::GetMenuState(menu, item, MF_BYPOSITION) & MF_HILITE) == 0) ++item;
    RECT itemRect{}, windowRect{};
    if (window == nullptr || item == count || !::GetMenuItemRect(window, menu, item, &itemRect) ||
        !::GetWindowRect(window, &windowRect))
        return {};
    std::map<std::uint32_t, int> colours;
    for (std::uint32_t pixel : WindowPixels(window, itemRect.left - windowRect.left, itemRect.top - windowRect.top,
                                            ::GetSystemMetrics(SM_CXMENUCHECK), itemRect.bottom - itemRect.top))
        ++colours[pixel];
    std::vector<std::pair<int, std::uint32_t>> most;  // fewest pixels last
    for (const auto& [colour, pixels] : colours) most.emplace_back(-pixels, colour);
    std::sort(most.begin(), most.end());
    std::wstring line = L"highlighted item " + std::to_wstring(item) + L", its check-mark column:";
    for (const auto& [pixels, colour] : most) {
        wchar_t text[24];
        std::swprintf(text, 24, L" #%06x %d,", static_cast<unsigned>(colour), -pixels);
        line += text;
    }
    line.pop_back();
    return line;
}

}  // namespace

HostWindow::HostWindow(const HandlerSession& session, const std::wstring& caption)
    : m_session(session), m_caption(caption) {
    RegisterClassOnce();
    m_window = ::CreateWindowExW(0, kClassName, caption.c_str(), WS_POPUP | WS_BORDER, 0, 0, 640, 480, nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_window != nullptr) {
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    }
}

HostWindow::~HostWindow() {
    if (m_window != nullptr) ::DestroyWindow(m_window);
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HostWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    return self != nullptr ? self->Handle(message, wParam, lParam)
                           : ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT HostWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITMENUPOPUP:
            if (reinterpret_cast<HMENU>(wParam) == m_showing.openSubmenu) m_showing.submenuUp = true;
            [[fallthrough]];
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_MENUCHAR: {
            LRESULT result = 0;
            if (m_session.ForwardMenuMessage(message, wParam, lParam, result)) return result;
            break;
        }
        case WM_TIMER:
            if (wParam == kTimerId) {
                Tick();
                return 0;
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(m_window, &paint);
            RECT line{8, 8, 632, 40};
            ::DrawTextW(dc, m_caption.c_str(), -1, &line, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            ::EndPaint(m_window, &paint);
            return 0;
        }
        default:
            break;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

// Runs inside the menu's own message loop, which dispatches timer messages.
void HostWindow::Tick() {
    Showing& s = m_showing;
    const DWORD now = ::GetTickCount();
    if (!s.keysSent && s.keyboardIndex >= 0) {
        // The menu loop reads keyboard messages of the whole thread: the
        // first Down selects the first item, each further one the next.
        for (int step = 0; step <= s.keyboardIndex; ++step) ::PostMessageW(m_window, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(m_window, WM_KEYDOWN, VK_RIGHT, 0);
        s.keysSent = true;
        return;
    }
    const bool ready = s.openSubmenu == nullptr || s.submenuUp;
    if (ready && !s.announced) {
        s.announced = true;
        s.closeAt = now + s.seconds * 1000;
        if (s.shown) s.shown();
        return;
    }
    if ((s.announced && static_cast<LONG>(now - s.closeAt) >= 0) || static_cast<LONG>(now - s.giveUpAt) >= 0) {
        if (s.openSubmenu != nullptr) s.highlighted = HighlightedPicture(s.openSubmenu);
        ::EndMenu();
    }
}

std::wstring HostWindow::ShowMenu(HMENU menu, int keyboardIndex, HMENU openSubmenu, std::uint32_t seconds,
                                  const std::function<void()>& shown) {
    if (m_window == nullptr) return {};
    m_showing = Showing{};
    m_showing.keyboardIndex = openSubmenu != nullptr ? keyboardIndex : -1;
    m_showing.openSubmenu = openSubmenu;
    m_showing.seconds = seconds;
    m_showing.shown = shown;
    m_showing.giveUpAt = ::GetTickCount() + seconds * 1000 + kGraceMs;

    ::ShowWindow(m_window, SW_SHOWNORMAL);
    ::UpdateWindow(m_window);
    ::SetForegroundWindow(m_window);
    ::SetTimer(m_window, kTimerId, kTickMs, nullptr);
    ::TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, kMenuX, kMenuY,
                       m_window, nullptr);
    ::KillTimer(m_window, kTimerId);
    ::ShowWindow(m_window, SW_HIDE);
    return m_showing.highlighted;
}

}  // namespace tessaly::shellhost
