#include "tests/options/SheetDriver.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "options/ShowOptions.h"

namespace tessaly::testing {
namespace {

constexpr const wchar_t* kSheetCaption = L"Tessaly 1.0 Beta";
constexpr UINT kSendLimitMs = 5000;

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Every drive ends by closing the sheet (OK, Cancel, Uninstall). If the run
// goes on, the sheet and any box the system raised over it are asked to
// close; a run that still does not end would hang the test program, which
// therefore ends here instead.
void EndRun(const std::atomic<bool>& ended, DWORD sheetThread) {
    // Wine without a window manager waits 2 s for each closing window to be
    // withdrawn, so a sheet that was told to close gets some time first.
    if (WaitUntil([&] { return ended.load(); }, std::chrono::milliseconds(5000))) return;
    ADD_FAILURE() << "the sheet did not close by itself";
    const bool closed = WaitUntil([&] {
        ::EnumThreadWindows(sheetThread, CloseWindowOf, 0);
        return ended.load();
    });
    if (closed) return;
    std::fprintf(stderr, "the options sheet would not close\n");
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void RunOptionsSheet(const std::function<void(HWND sheet)>& drive) {
    const DWORD sheetThread = ::GetCurrentThreadId();
    std::atomic<bool> ended{false};
    std::thread driver([&] {
        HWND sheet = nullptr;
        const bool shown = WaitUntil([&] {
            sheet = ::FindWindowW(L"#32770", kSheetCaption);
            return sheet != nullptr && ::IsWindowVisible(sheet);
        });
        if (shown) {
            drive(sheet);
        } else {
            ADD_FAILURE() << "the options sheet did not appear";
        }
        EndRun(ended, sheetThread);
    });
    ShowOptionsSheet();
    ended = true;
    driver.join();
}

HWND SheetUser::Page() const {
    return reinterpret_cast<HWND>(Send(m_sheet, PSM_GETCURRENTPAGEHWND));
}

void SheetUser::ShowPage(int index) const {
    Send(m_sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    Draw();
}

void SheetUser::Draw() const {
    ::RedrawWindow(m_sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void SheetUser::Click(int id) const { Send(Control(id), BM_CLICK); }

void SheetUser::MoveSlider(int id, int position) const {
    HWND slider = Control(id);
    Send(slider, TBM_SETPOS, TRUE, position);
    Send(Page(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(slider));
    Send(Page(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
}

std::wstring SheetUser::Text(int id) const {
    wchar_t text[256] = {};
    Send(Control(id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

bool SheetUser::Checked(int id) const { return Send(Control(id), BM_GETCHECK) == BST_CHECKED; }

int SheetUser::SliderPosition(int id) const { return static_cast<int>(Send(Control(id), TBM_GETPOS)); }

bool SheetUser::ApplyEnabled() const {
    // The sheet's Apply button has the system's fixed id.
    constexpr int kApplyButton = 0x3021;
    return ::IsWindowEnabled(::GetDlgItem(m_sheet, kApplyButton)) != FALSE;
}

void SheetUser::Press(int button) const {
    Send(m_sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    // The sheet notices that a button ended it only when its loop next gets
    // a message; a real click brings more input, a sent press brings none.
    ::PostMessageW(m_sheet, WM_NULL, 0, 0);
}

LRESULT SheetUser::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendLimitMs, &result)) {
        ADD_FAILURE() << "message 0x" << std::hex << message << " was not answered";
    }
    return static_cast<LRESULT>(result);
}

}  // namespace tessaly::testing
