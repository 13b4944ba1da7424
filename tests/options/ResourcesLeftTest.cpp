// A whole run of the sheet, every page shown, leaves no window-system
// objects behind in the process.
#include <cstdio>

#include "resources/ResourceIds.h"
#include "tests/options/SheetFixture.h"

namespace tessaly::testing {
namespace {

using SheetResourcesTest = SheetTest;

struct GuiCounts {
    DWORD gdi;
    DWORD user;
    int windows;  // the process's windows, children included
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountIfOurs(HWND window, LPARAM count) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(count);
    ::EnumChildWindows(window, CountChild, count);
    return TRUE;
}

GuiCounts Count() {
    int windows = 0;
    ::EnumWindows(CountIfOurs, reinterpret_cast<LPARAM>(&windows));
    return GuiCounts{::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
                     ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), windows};
}

// Returns the counts taken while the sheet was open with every page created.
GuiCounts VisitEveryPage() {
    GuiCounts open{};
    RunOptionsSheet([&](HWND sheet) {
        SheetUser user(sheet);
        for (int page : {1, 2, 0}) user.ShowPage(page);
        open = Count();
        user.MoveSlider(IDC_FILE_COUNT_SLIDER, 2);
        user.PressOk();
    });
    return open;
}

TEST_F(SheetResourcesTest, ARunOfTheSheetLeavesNoGdiOrUserObjects) {
    // The first run loads what the system keeps for the process's life
    // (window classes, fonts, cursors); later runs must not add to that.
    VisitEveryPage();
    const GuiCounts before = Count();
    const GuiCounts open = VisitEveryPage();
    const GuiCounts after = Count();
    EXPECT_GT(open.windows, before.windows) << "the count sees the sheet's windows";
    std::printf("GDI objects %lu -> %lu, USER objects %lu -> %lu, windows %d -> %d\n", before.gdi, after.gdi,
                before.user, after.user, before.windows, after.windows);
    EXPECT_EQ(after.windows, before.windows);
    // Wine answers 0 for both counts (its GetGuiResources is a stub); Windows counts them.
    if (before.gdi == 0 && before.user == 0) {
        std::printf("GetGuiResources counts nothing here: only the windows were compared\n");
    } else {
        EXPECT_EQ(after.gdi, before.gdi);
        EXPECT_EQ(after.user, before.user);
    }
}

}  // namespace
}  // namespace tessaly::testing
