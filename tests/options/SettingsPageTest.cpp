// The Settings page in the real sheet: what it shows for what is stored, the
// click rules, the sliders, the week-start enabling, and what OK, Apply and
// Cancel leave in the registry.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "resources/IconImages.h"
#include "resources/ResourceIds.h"
#include "tests/options/SheetFixture.h"
#include "tests/support/ScaleChild.h"

namespace tessaly::testing {
namespace {

using SettingsPageTest = SheetTest;
namespace name = setting;

TEST_F(SettingsPageTest, ShowsStoredValuesNormalisedAndOkWritesAllSix) {
    Store(name::kShowRecentModified, 0);
    Store(name::kShowRecentAccessed, 0);
    Store(name::kFileCount, 12);
    Store(name::kHighlightDays, 31);
    Store(name::kShowTimeHint, 2);
    Store(name::kWeekStart, 7);
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        EXPECT_FALSE(user.Checked(IDC_SHOW_MODIFIED));
        EXPECT_FALSE(user.Checked(IDC_SHOW_ACCESSED));
        EXPECT_EQ(user.Text(IDC_FILE_COUNT), L"12");
        EXPECT_EQ(user.SliderPosition(IDC_FILE_COUNT_SLIDER), 2);
        EXPECT_EQ(user.Text(IDC_HIGHLIGHT_DAYS), L"3");
        EXPECT_EQ(user.SliderPosition(IDC_HIGHLIGHT_DAYS_SLIDER), 3);
        EXPECT_TRUE(user.Checked(IDC_SHOW_TIME_HINT));
        EXPECT_FALSE(user.Checked(IDC_WEEK_SUNDAY));
        EXPECT_TRUE(user.Checked(IDC_WEEK_MONDAY));
        EXPECT_TRUE(user.Enabled(IDC_WEEK_GROUP));
        user.PressOk();
    });
    EXPECT_EQ(Stored(name::kShowRecentModified), 0);
    EXPECT_EQ(Stored(name::kShowRecentAccessed), 0);
    EXPECT_EQ(Stored(name::kFileCount), 12) << "an untouched slider keeps the stored count";
    EXPECT_EQ(Stored(name::kHighlightDays), 3);
    EXPECT_EQ(Stored(name::kShowTimeHint), 1);
    EXPECT_EQ(Stored(name::kWeekStart), 1);
}

TEST_F(SettingsPageTest, ClearingOneListChecksTheOther) {
    Store(name::kShowRecentModified, 0);
    Store(name::kShowRecentAccessed, 1);
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        user.Click(IDC_SHOW_ACCESSED);
        EXPECT_FALSE(user.Checked(IDC_SHOW_ACCESSED));
        EXPECT_TRUE(user.Checked(IDC_SHOW_MODIFIED));
        user.Click(IDC_SHOW_MODIFIED);
        EXPECT_FALSE(user.Checked(IDC_SHOW_MODIFIED));
        EXPECT_TRUE(user.Checked(IDC_SHOW_ACCESSED));
        user.Click(IDC_SHOW_MODIFIED);  // checking it again leaves the other as it is
        EXPECT_TRUE(user.Checked(IDC_SHOW_MODIFIED));
        EXPECT_TRUE(user.Checked(IDC_SHOW_ACCESSED));
        user.PressOk();
    });
    EXPECT_EQ(Stored(name::kShowRecentModified), 1);
    EXPECT_EQ(Stored(name::kShowRecentAccessed), 1);
}

TEST_F(SettingsPageTest, SlidersShowTheirNumbersAndKeepTheChosenDay) {
    Store(name::kWeekStart, 0);
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        user.Click(IDC_WEEK_MONDAY);
        user.MoveSlider(IDC_FILE_COUNT_SLIDER, 3);
        EXPECT_EQ(user.Text(IDC_FILE_COUNT), L"15");
        user.MoveSlider(IDC_HIGHLIGHT_DAYS_SLIDER, 7);
        EXPECT_EQ(user.Text(IDC_HIGHLIGHT_DAYS), L"7");
        EXPECT_TRUE(user.Checked(IDC_WEEK_MONDAY));
        EXPECT_FALSE(user.Checked(IDC_WEEK_SUNDAY));
        user.PressOk();
    });
    EXPECT_EQ(Stored(name::kFileCount), 15);
    EXPECT_EQ(Stored(name::kHighlightDays), 7);
    EXPECT_EQ(Stored(name::kWeekStart), 1);
}

TEST_F(SettingsPageTest, TheTimeHintBoxEnablesTheWeekStartGroup) {
    Store(name::kShowTimeHint, 1);
    Store(name::kWeekStart, 1);
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        user.Click(IDC_SHOW_TIME_HINT);
        for (int id : {IDC_WEEK_GROUP, IDC_WEEK_SUNDAY, IDC_WEEK_MONDAY}) EXPECT_FALSE(user.Enabled(id)) << id;
        EXPECT_TRUE(user.Checked(IDC_WEEK_MONDAY)) << "disabling keeps the day";
        user.PressApply();
        user.Click(IDC_SHOW_TIME_HINT);
        for (int id : {IDC_WEEK_GROUP, IDC_WEEK_SUNDAY, IDC_WEEK_MONDAY}) EXPECT_TRUE(user.Enabled(id)) << id;
        user.PressCancel();
    });
    EXPECT_EQ(Stored(name::kShowTimeHint), 0) << "Apply wrote it, Cancel kept it";
    EXPECT_EQ(Stored(name::kWeekStart), 1);
}

// Under Wine a pressed Apply applies even while disabled, so only this
// shows that each kind of change enables it (also with no net change).
TEST_F(SettingsPageTest, EveryKindOfChangeEnablesApply) {
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        const std::pair<const char*, std::function<void()>> changes[] = {
            {"count slider", [&] { user.MoveSlider(IDC_FILE_COUNT_SLIDER, 4); }},
            {"days slider", [&] { user.MoveSlider(IDC_HIGHLIGHT_DAYS_SLIDER, 4); }},
            {"modified box", [&] { user.Click(IDC_SHOW_MODIFIED); }},
            {"accessed box", [&] { user.Click(IDC_SHOW_ACCESSED); }},
            {"Sunday", [&] { user.Click(IDC_WEEK_SUNDAY); }},
            {"Monday", [&] { user.Click(IDC_WEEK_MONDAY); }},
            {"time hint box", [&] { user.Click(IDC_SHOW_TIME_HINT); }},
        };
        for (const auto& [name, change] : changes) {
            EXPECT_FALSE(user.ApplyEnabled()) << "before " << name;
            change();
            EXPECT_TRUE(user.ApplyEnabled()) << name;
            user.PressApply();
        }
        user.PressCancel();
    });
}

TEST_F(SettingsPageTest, CancelAfterApplyKeepsOnlyWhatWasApplied) {
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        user.MoveSlider(IDC_FILE_COUNT_SLIDER, 4);
        user.PressApply();
        user.MoveSlider(IDC_FILE_COUNT_SLIDER, 1);
        user.Click(IDC_SHOW_MODIFIED);
        user.PressCancel();
    });
    EXPECT_EQ(Stored(name::kFileCount), 20);
    EXPECT_EQ(Stored(name::kShowRecentModified), 0);
    EXPECT_EQ(Stored(name::kShowRecentAccessed), 1);
}

// At 150 % the page shows the menus' pictures drawn for 24 pixels: each list's
// own beside its check box (the icon static on the box's row).
const wchar_t kScaleChild[] = L"TESSALY_SHEET_SCALE";
constexpr int kChildPassed = 7;

TEST_F(SettingsPageTest, AtThisScaleEachListHasItsOwnPicture) {
    if (!IsScaleChild(kScaleChild)) GTEST_SKIP() << "run by the scale test";
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        for (const auto& [box, picture] :
             {std::pair{IDC_SHOW_ACCESSED, IDI_MENU_ACCESSED}, std::pair{IDC_SHOW_MODIFIED, IDI_MENU_MODIFIED}}) {
            RECT row = {};
            ::GetWindowRect(user.Control(box), &row);
            HICON shown = nullptr;
            for (HWND child = ::GetWindow(user.Page(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                RECT rect = {};
                wchar_t kind[8] = {};
                ::GetWindowRect(child, &rect);
                ::GetClassNameW(child, kind, 8);
                if (::lstrcmpiW(kind, L"Static") == 0 && rect.top < row.bottom && rect.bottom > row.top &&
                    (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                    shown = reinterpret_cast<HICON>(user.Send(child, STM_GETICON));
            }
            const HICON drawn = resources::LoadIconImage(::GetModuleHandleW(nullptr), picture, 24);
            const std::vector<std::uint32_t> pixels = resources::IconPixels(shown, 24);
            EXPECT_TRUE(!pixels.empty() && pixels == resources::IconPixels(drawn, 24)) << "beside " << box;
            ::DestroyIcon(drawn);
        }
        user.PressCancel();
    });
    ::ExitProcess(HasFailure() ? 1 : kChildPassed);
}

TEST(SettingsPageScale, At150PercentTheListIconsStandBesideTheirLists) {
    if (IsScaleChild(kScaleChild)) GTEST_SKIP();
    EXPECT_EQ(RunSelfAtScale(144, L"SettingsPageTest.AtThisScaleEachListHasItsOwnPicture", kScaleChild, L"1"),
              kChildPassed);
}

}  // namespace
}  // namespace tessaly::testing
