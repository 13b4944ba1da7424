#pragma once
// Watches, from a thread of its own, for the windows a command opens while
// InvokeCommand runs (an options sheet, a message box) and reports each,
// with what a message box says. Stepping through pages, it shows each page
// of a property sheet for the given time and then cancels the sheet;
// otherwise it leaves each window to the user for that time and then closes
// it. So an invoked command can never leave the tool waiting. Given a button
// caption, it clicks the first such button it meets instead, as a user
// would, and cancels the window only if it is still open after.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <thread>

namespace tessaly::shellhost {

class DialogWalker {
public:
    using Report = std::function<void(const std::wstring&)>;

    // `ignore`: the tool's own window.
    DialogWalker(HWND ignore, std::uint32_t seconds, bool stepPages, std::wstring clickButton, Report report);
    ~DialogWalker();  // stops watching and waits for the thread
    DialogWalker(const DialogWalker&) = delete;
    DialogWalker& operator=(const DialogWalker&) = delete;

private:
    void Run();
    HWND NextNewWindow();
    void Walk(HWND window);
    bool Linger(DWORD milliseconds);  // false once stopping
    bool ClickIfThere(HWND window);    // true when it clicked
    void Close(HWND window);

    HWND m_ignore;
    std::uint32_t m_seconds;
    bool m_stepPages;
    std::wstring m_clickButton;
    bool m_clicked = false;
    Report m_report;
    std::set<HWND> m_seen;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace tessaly::shellhost
