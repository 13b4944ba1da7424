#include "tools/shellhost/DialogWalker.h"

#include <commctrl.h>
#include <prsht.h>

#include <utility>
#include <vector>

#include "tools/shellhost/MenuTree.h"

namespace tessaly::shellhost {
namespace {

constexpr DWORD kPollMs = 100;
constexpr DWORD kSettleMs = 400;  // for a page to paint after it is chosen
constexpr DWORD kCloseMs = 2000;  // for a window to go after WM_CLOSE
constexpr UINT kAnswerMs = 2000;  // for a window to answer a message
// For the invoked command to return once every window it opened has been
// told to go; after that the tool reports it and ends rather than wait.
constexpr DWORD kReturnMs = 30000;

// The windows watched belong to the tool's main thread, which waits for this
// thread when InvokeCommand has returned: nothing here may wait for that
// thread's answer without a limit. InternalGetWindowText reads the text
// without sending a message.
std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::InternalGetWindowText(window, text, ARRAYSIZE(text));
    return text;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &answer);
    return static_cast<LRESULT>(answer);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, ARRAYSIZE(name));
    return name;
}

struct Search {
    HWND ignore;
    const std::set<HWND>* seen;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId() || window == search.ignore || !::IsWindowVisible(window) ||
        search.seen->count(window) != 0 || ClassOf(window) == L"#32768")  // menus
        return TRUE;
    search.found = window;
    return FALSE;
}

struct ButtonSearch {
    const std::wstring* caption;  // null: any button
    HWND found = nullptr;
};

BOOL CALLBACK VisitChild(HWND child, LPARAM parameter) {
    auto& search = *reinterpret_cast<ButtonSearch*>(parameter);
    if (::IsWindowVisible(child) && ::IsWindowEnabled(child) && ::lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0 &&
        (search.caption == nullptr || Displayed(TextOf(child)) == *search.caption)) {
        search.found = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM parameter) {
    auto& texts = *reinterpret_cast<std::wstring*>(parameter);
    const std::wstring text = TextOf(child);
    if (::IsWindowVisible(child) && !text.empty() && ::lstrcmpiW(ClassOf(child).c_str(), L"Static") == 0)
        texts += (texts.empty() ? L"" : L" ") + text;
    return TRUE;
}

// Where a window stands to the tool's own window (the file manager's, which
// an Explorer command's site gives): owned by it or not, above it or not.
std::wstring PlaceOf(HWND window, HWND tool) {
    if (tool == nullptr) return {};
    std::wstring place = ::GetWindow(window, GW_OWNER) == tool ? L", owned by the tool's window" : L"";
    for (HWND below = ::GetWindow(window, GW_HWNDNEXT); below != nullptr; below = ::GetWindow(below, GW_HWNDNEXT))
        if (below == tool) return place + L", above it";
    return place + L", not above it";
}

// What a message box says: the texts of its static controls, on one line.
std::wstring Says(HWND window) {
    std::wstring texts;
    ::EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&texts));
    for (wchar_t& c : texts)
        if (c == L'\r' || c == L'\n') c = L' ';
    return texts;
}

}  // namespace

DialogWalker::DialogWalker(HWND ignore, std::uint32_t seconds, bool stepPages, std::wstring clickButton,
                           Report report)
    : m_ignore(ignore),
      m_seconds(seconds),
      m_stepPages(stepPages),
      m_clickButton(std::move(clickButton)),
      m_report(std::move(report)),
      m_thread([this] { Run(); }) {}

bool DialogWalker::ClickIfThere(HWND window) {
    if (m_clickButton.empty() || m_clicked) return false;
    ButtonSearch search{&m_clickButton};
    ::EnumChildWindows(window, &VisitChild, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return false;
    m_clicked = true;
    m_report(L"clicking \"" + m_clickButton + L"\"");
    ::PostMessageW(search.found, BM_CLICK, 0, 0);
    if (Linger(m_seconds * 1000) && ::IsWindow(window)) Close(window);
    return true;
}

void DialogWalker::Close(HWND window) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (!Linger(kCloseMs) || !::IsWindow(window)) return;
    // A message box without a Cancel button ignores WM_CLOSE: press its
    // first button, as a user who wants it gone would.
    ButtonSearch search{nullptr};
    ::EnumChildWindows(window, &VisitChild, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) ::PostMessageW(search.found, BM_CLICK, 0, 0);
}

DialogWalker::~DialogWalker() {
    m_stop = true;
    m_thread.join();
}

bool DialogWalker::Linger(DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds && !m_stop; waited += kPollMs) ::Sleep(kPollMs);
    return !m_stop;
}

HWND DialogWalker::NextNewWindow() {
    Search search{m_ignore, &m_seen};
    ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void DialogWalker::Run() {
    DWORD idle = 0;  // since the last window was told to go
    while (!m_stop) {
        if (HWND window = NextNewWindow()) {
            m_seen.insert(window);
            Walk(window);
            idle = 0;
        } else if (!m_seen.empty() && idle >= kReturnMs) {
            // A command stuck in a window that no longer answers (a page that
            // could not be made, say) would keep the tool waiting for ever.
            m_report(L"the command has not returned " + std::to_wstring(kReturnMs / 1000) +
                     L" s after its last window was told to close: ending");
            ::TerminateProcess(::GetCurrentProcess(), 3);
        } else {
            ::Sleep(kPollMs);
            idle += kPollMs;
        }
    }
}

void DialogWalker::Walk(HWND window) {
    const DWORD dwell = m_seconds * 1000;
    HWND tabs = ::FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
    const std::wstring says = tabs == nullptr ? Says(window) : std::wstring();
    m_report(L"window \"" + TextOf(window) + L"\" (" + ClassOf(window) + L")" + PlaceOf(window, m_ignore) +
             (says.empty() ? L"" : L": \"" + says + L"\""));
    if (tabs == nullptr || !m_stepPages) {
        if (!Linger(kSettleMs) || ClickIfThere(window) || !Linger(dwell) || !::IsWindow(window)) return;
        if (!m_stepPages) m_report(L"closing it after " + std::to_wstring(m_seconds) + L" s");
        Close(window);
        return;
    }
    const int pages = static_cast<int>(Ask(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int page = 0; page < pages && !m_stop && ::IsWindow(window); ++page) {
        Ask(window, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
        if (!Linger(kSettleMs)) return;
        wchar_t title[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title;
        item.cchTextMax = ARRAYSIZE(title);
        Ask(tabs, TCM_GETITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
        m_report(L"page " + std::to_wstring(page + 1) + L" of " + std::to_wstring(pages) + L" \"" + title + L"\"");
        if (!Linger(dwell) || ClickIfThere(window)) return;
    }
    // Cancel: whatever the pages hold stays unsaved.
    ::PostMessageW(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    if (Linger(kCloseMs) && ::IsWindow(window)) Close(window);
}

}  // namespace tessaly::shellhost
