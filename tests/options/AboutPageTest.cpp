// The About page in the real sheet: the version line, the link's look, the
// cursor over and beside its text, and a click that opens the web address.
#include <richedit.h>

#include <string>

#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "tests/options/LaunchRecord.h"
#include "tests/options/SheetFixture.h"

namespace tessaly::testing {
namespace {

constexpr int kAboutPage = 1;

class AboutPageTest : public SheetTest {
protected:
    static POINT OnScreen(HWND window, POINT point) {
        ::ClientToScreen(window, &point);
        return point;
    }
    // The page asks where the pointer is when the press arrives, so the
    // pointer stays put until the sheet has taken the press (an idle sheet
    // takes it at once; the pause only keeps a slow machine from moving on).
    static void ClickHere(const SheetUser& user) {
        INPUT clicks[2] = {};
        clicks[0].type = clicks[1].type = INPUT_MOUSE;
        clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ::SendInput(2, clicks, sizeof(INPUT));
        ::Sleep(300);
        user.Send(user.sheet(), WM_NULL);
    }
    // Moves the pointer to the point and waits until the sheet's thread has
    // set the cursor. The pointer keeps moving by a pixel, as a hand on the
    // mouse does, so a move that arrived while the page was still being
    // shown is made good. This thread shares the sheet thread's input state
    // while it reads the cursor, so the answer does not depend on which
    // window the system thinks is in front.
    static bool PointerShows(HWND sheet, POINT at, LPCWSTR cursor) {
        const DWORD sheetThread = ::GetWindowThreadProcessId(sheet, nullptr);
        const DWORD self = ::GetCurrentThreadId();
        if (!::AttachThreadInput(self, sheetThread, TRUE)) return false;
        const HCURSOR wanted = ::LoadCursorW(nullptr, cursor);
        int step = 0;
        const bool shown = WaitUntil([&] {
            ::SetCursorPos(at.x, at.y + (step++ % 2));
            ::Sleep(50);
            return ::GetCursor() == wanted;
        });
        ::AttachThreadInput(self, sheetThread, FALSE);
        return shown;
    }
};

TEST_F(AboutPageTest, ShowsTheVersionAndTheHostAsABlueUnderlinedDisabledLink) {
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        user.ShowPage(kAboutPage);
        EXPECT_EQ(user.Text(IDC_VERSION), L"Tessaly 1.0 Beta (build 38)");
        EXPECT_EQ(user.Text(IDC_WEB_LINK), resources::LoadText(IDS_WEB_HOST));
        EXPECT_FALSE(user.Enabled(IDC_WEB_LINK));

        HWND link = user.Control(IDC_WEB_LINK);
        CHARRANGE all{0, -1};
        user.Send(link, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
        CHARFORMATW format{};
        format.cbSize = sizeof(format);
        user.Send(link, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        EXPECT_TRUE(format.dwMask & CFM_COLOR) << "one colour over the whole text";
        EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);
        EXPECT_EQ(format.crTextColor, RGB(0, 0, 255));
        EXPECT_TRUE(format.dwMask & CFM_UNDERLINE);
        EXPECT_TRUE(format.dwEffects & CFE_UNDERLINE);
        // Setting the background answers the one it had: the page's colour.
        const COLORREF page = ::GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(static_cast<COLORREF>(user.Send(link, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(page))), page);
        user.PressCancel();
    });
}

TEST_F(AboutPageTest, TheTextAloneShowsTheHandAndOpensTheAddressOnAClick) {
    LaunchRecord::HandleScheme(L"https");
    LaunchRecord record;
    RunOptionsSheet([&](HWND sheet) {
        SheetUser user(sheet);
        user.ShowPage(kAboutPage);
        HWND page = user.Page();
        HWND link = user.Control(IDC_WEB_LINK);
        const long length = static_cast<long>(user.Send(link, WM_GETTEXTLENGTH));
        POINTL first{}, end{};
        user.Send(link, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
        user.Send(link, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&end), length);
        RECT lines{};
        user.Send(link, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&lines));
        const LONG middle = (lines.top + lines.bottom) / 2;
        RECT linkBox{};
        ::GetClientRect(link, &linkBox);
        ASSERT_LT(end.x + 10, linkBox.right) << "room beside the text";
        RECT pageBox{};
        ::GetClientRect(page, &pageBox);

        const POINT overText = OnScreen(link, POINT{(first.x + end.x) / 2, middle});
        const POINT besideText = OnScreen(link, POINT{end.x + 10, middle});
        const POINT blank = OnScreen(page, POINT{pageBox.right - 5, pageBox.bottom - 5});

        EXPECT_TRUE(PointerShows(sheet, overText, IDC_HAND)) << "over the text";
        EXPECT_TRUE(PointerShows(sheet, besideText, IDC_ARROW)) << "beside the text";
        ClickHere(user);
        EXPECT_TRUE(PointerShows(sheet, blank, IDC_ARROW)) << "on the page";
        ClickHere(user);
        EXPECT_TRUE(PointerShows(sheet, overText, IDC_HAND));
        ClickHere(user);

        EXPECT_TRUE(record.WaitForLines(1)) << "the address was not opened";
        EXPECT_TRUE(user.Open()) << "the sheet stays open";
        user.PressCancel();
    });
    const std::vector<std::wstring> lines = record.Lines();
    ASSERT_EQ(lines.size(), 1u) << "only the click on the text opens the address";
    const std::wstring address = resources::LoadText(IDS_WEB_URL);
    EXPECT_NE(lines[0].find(L"\"" + address + L"\""), std::wstring::npos) << lines[0];
}

}  // namespace
}  // namespace tessaly::testing
