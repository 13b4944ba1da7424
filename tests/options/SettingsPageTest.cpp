// The Settings page in the real sheet: what it shows for what is stored, the
// click rules, the sliders, the week-start enabling, and what OK, Apply and
// Cancel leave in the registry.
#include <functional>
#include <string>
#include <utility>

#include "resources/ResourceIds.h"
#include "tests/options/SheetFixture.h"

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

}  // namespace
}  // namespace tessaly::testing
