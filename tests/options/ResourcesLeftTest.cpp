// A whole run of the sheet, every page shown, leaves no window-system
// objects behind in the process.
#include <cstdio>

#include "resources/ResourceIds.h"
#include "tests/options/SheetFixture.h"
#include "tests/support/GuiObjects.h"

namespace tessaly::testing {
namespace {

using SheetResourcesTest = SheetTest;

struct GuiCounts {
    GuiObjects objects;
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
    return GuiCounts{GuiObjects::Now(), windows};
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
    // The first runs load what the system keeps for the process's life
    // (window classes, fonts, cursors, cached drawing objects); later runs
    // must not add to that.
    VisitEveryPage();
    VisitEveryPage();
    const GuiCounts before = Count();
    const GuiCounts open = VisitEveryPage();
    const GuiCounts after = Count();
    EXPECT_GT(open.windows, before.windows) << "the count sees the sheet's windows";
    EXPECT_GT(open.objects.gdi, before.objects.gdi) << "the count sees the sheet's GDI objects";
    std::printf("GDI objects %u -> %u, USER objects %u -> %u, windows %d -> %d\n", before.objects.gdi,
                after.objects.gdi, before.objects.user, after.objects.user, before.windows, after.windows);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.objects.gdi, before.objects.gdi);
    EXPECT_EQ(after.objects.user, before.objects.user);
}

}  // namespace
}  // namespace tessaly::testing
