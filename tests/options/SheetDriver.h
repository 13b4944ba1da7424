#pragma once
// Runs the real options sheet on the test's thread while a second thread
// drives it with messages, as a user's clicks would arrive. Every wait has a
// timeout: a sheet that does not close when told is closed by force, and one
// that will not go at all ends the test program with a failure.
#include <windows.h>
#include <prsht.h>

#include <chrono>
#include <functional>
#include <string>

namespace tessaly::testing {

constexpr std::chrono::milliseconds kWaitLimit{10000};

// true once the condition holds; false when the limit passed first.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = kWaitLimit);

// Shows the sheet with ShowOptionsSheet and calls drive(sheet) on another
// thread once the sheet window is there; drive ends by closing the sheet.
// Returns when the sheet has closed.
void RunOptionsSheet(const std::function<void(HWND sheet)>& drive);

// What the driving thread does to and reads from the sheet.
class SheetUser {
public:
    explicit SheetUser(HWND sheet) : m_sheet(sheet) {}

    HWND sheet() const { return m_sheet; }
    HWND Page() const;  // the page shown now
    HWND Control(int id) const { return ::GetDlgItem(Page(), id); }

    // Shows the page and has it drawn at once (drawing keeps objects cached).
    void ShowPage(int index) const;
    void Draw() const;
    void Click(int id) const;  // BM_CLICK on a button of the page
    // Moves a trackbar as a user's drag would end: the position, then the scroll notification.
    void MoveSlider(int id, int position) const;
    void PressOk() const { Press(PSBTN_OK); }
    void PressApply() const { Press(PSBTN_APPLYNOW); }
    void PressCancel() const { Press(PSBTN_CANCEL); }

    std::wstring Text(int id) const;
    bool Checked(int id) const;
    int SliderPosition(int id) const;
    bool Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
    bool ApplyEnabled() const;
    bool Open() const { return ::IsWindow(m_sheet) != FALSE; }

    LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

private:
    void Press(int button) const;
    HWND m_sheet;
};

}  // namespace tessaly::testing
