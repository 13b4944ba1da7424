// The plan of the Tessaly submenu from a real folder and six settings. The
// program runs with TZ=Europe/Berlin; "now" is pinned to Wednesday
// 9 December 2026, 14:00 there.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/LocaleFormat.h"
#include "settings/Settings.h"
#include "shellext/MenuPlan.h"
#include "tests/listing/ListingFixtures.h"
#include "tests/support/TempFolder.h"

namespace tessaly {
namespace {

using testing::g_pinnedNow;
using testing::PinnedClock;
using testing::UtcCount;

// The six settings as stored, with every read recorded in order.
struct StoredSettings {
    std::map<std::wstring, std::int32_t> values = {
        {setting::kShowRecentModified, 1}, {setting::kShowRecentAccessed, 1}, {setting::kFileCount, 10},
        {setting::kHighlightDays, 3},      {setting::kShowTimeHint, 1},       {setting::kWeekStart, 0},
    };
    std::vector<std::wstring> reads;

    SettingReader Reader() {
        return [this](const wchar_t* name) {
            reads.emplace_back(name);
            return values.at(name);
        };
    }
};

class MenuPlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_pinnedNow = UtcCount(2026, 12, 9, 13, 0);
        listing.SetFolder(folder.Path());
    }

    void AddFile(const std::wstring& name, FileTimeCount access, FileTimeCount write) {
        folder.MakeFile(name);
        folder.SetTimes(name, access, write);
    }
    // The listing joins folder and name with a backslash on both sides.
    std::wstring ListedPath(const std::wstring& name) const { return folder.Path() + L"\\" + name; }
    MenuPlan Plan(std::uint64_t ids = 1000) { return PlanMenu(listing, settings.Reader(), ids); }

    // "f<offset>" for a file item (with its name), "-" for a separator, "O<offset>" for "Options...".
    static std::vector<std::wstring> Layout(const MenuPlan& plan) {
        std::vector<std::wstring> layout;
        for (const PlanItem& item : plan.items) {
            switch (item.kind) {
                case PlanItemKind::Separator:
                    layout.push_back(L"-");
                    break;
                case PlanItemKind::Options:
                    layout.push_back(L"O" + std::to_wstring(item.offset));
                    break;
                case PlanItemKind::File:
                    layout.push_back(L"f" + std::to_wstring(item.offset) + L" " +
                                     item.text.substr(item.text.find(L'\t') + 1));
                    break;
            }
        }
        return layout;
    }

    testing::TempFolder folder;
    FolderListing listing{PinnedClock};
    StoredSettings settings;
};

TEST_F(MenuPlanTest, EmptyFolderWithBothListsHasTwoSeparatorsAndOptionsAtOffsetZero) {
    const MenuPlan plan = Plan();
    EXPECT_EQ(Layout(plan), (std::vector<std::wstring>{L"-", L"-", L"O0"}));
    EXPECT_EQ(plan.IdsUsed(), 1u);
    EXPECT_EQ(plan.items.back().text, L"Options...");
    EXPECT_EQ(plan.items.back().picture, MenuPicture::Options);
}

TEST_F(MenuPlanTest, ThreeFilesWithBothListsAccessedFirstThenModified) {
    // Access order c, a, b; write order a, b, c.
    AddFile(L"a.txt", UtcCount(2026, 12, 8, 10, 0), UtcCount(2026, 12, 7, 12, 0));
    AddFile(L"b.txt", UtcCount(2026, 12, 7, 10, 0), UtcCount(2026, 12, 7, 11, 0));
    AddFile(L"c.txt", UtcCount(2026, 12, 9, 10, 0), UtcCount(2026, 12, 7, 10, 0));
    const MenuPlan plan = Plan();
    EXPECT_EQ(Layout(plan), (std::vector<std::wstring>{L"f0 c.txt", L"f1 a.txt", L"f2 b.txt", L"-", L"f3 a.txt",
                                                       L"f4 b.txt", L"f5 c.txt", L"-", L"O6"}));
    EXPECT_EQ(plan.IdsUsed(), 7u);
    EXPECT_EQ(plan.fileItemCount, 6);
    EXPECT_EQ(plan.items[0].picture, MenuPicture::Accessed);
    EXPECT_EQ(plan.items[4].picture, MenuPicture::Modified);
    EXPECT_EQ(plan.items[0].path, ListedPath(L"c.txt"));
    EXPECT_EQ(plan.items[6].path, ListedPath(L"c.txt"));
}

TEST_F(MenuPlanTest, FortyFilesWithFileCountFiveShowTheFiveNewestOfEachList) {
    // File i is accessed i minutes and written 40 - i minutes after 08:00.
    for (int i = 0; i < 40; ++i)
        AddFile(L"f" + std::to_wstring(i), UtcCount(2026, 12, 9, 8, i), UtcCount(2026, 12, 9, 8, 40 - i));
    settings.values[setting::kFileCount] = 5;
    const MenuPlan plan = Plan();
    EXPECT_EQ(Layout(plan),
              (std::vector<std::wstring>{L"f0 f39", L"f1 f38", L"f2 f37", L"f3 f36", L"f4 f35", L"-", L"f5 f0",
                                         L"f6 f1", L"f7 f2", L"f8 f3", L"f9 f4", L"-", L"O10"}));
}

TEST_F(MenuPlanTest, ItemTextIsMarkDateTabName) {
    AddFile(L"notes.txt", UtcCount(2026, 12, 9, 9, 0), UtcCount(2026, 12, 9, 9, 0));
    settings.values[setting::kShowRecentAccessed] = 0;
    // 10:00 in Berlin, today, in the user's formats.
    wchar_t date[64] = {}, time[64] = {};
    ASSERT_GT(platform::FormatShortDate(testing::Fields(2026, 12, 9, 10, 0), date, 64), 0);
    ASSERT_GT(platform::FormatTimeWithoutSeconds(testing::Fields(2026, 12, 9, 10, 0), time, 64), 0);
    EXPECT_EQ(Plan().items[0].text, L"* " + std::wstring(date) + L" " + time + L" (Today)\tnotes.txt");
}

TEST_F(MenuPlanTest, HighlightMarksEntriesBelowHighlightDays) {
    AddFile(L"tomorrow", 0, UtcCount(2026, 12, 10, 9, 0));
    AddFile(L"today", 0, UtcCount(2026, 12, 9, 9, 0));
    AddFile(L"yesterday", 0, UtcCount(2026, 12, 8, 9, 0));
    settings.values[setting::kShowRecentAccessed] = 0;
    const struct {
        std::int32_t highlightDays;
        std::vector<bool> marked;  // tomorrow, today, yesterday
    } cases[] = {{0, {true, false, false}}, {1, {true, true, false}}, {2, {true, true, true}}};
    for (const auto& c : cases) {
        settings.values[setting::kHighlightDays] = c.highlightDays;
        const MenuPlan plan = Plan();
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(plan.items[i].text.rfind(L"* ", 0) == 0, c.marked[i])
                << "HighlightDays " << c.highlightDays << ", item " << i;
    }
}

TEST_F(MenuPlanTest, OnlyExactlyOneShowsHintsAndOnlyZeroStartsTheWeekOnSunday) {
    AddFile(L"sunday", 0, UtcCount(2026, 12, 6, 9, 0));
    settings.values[setting::kShowRecentAccessed] = 0;
    const struct {
        std::int32_t showTimeHint, weekStart;
        const wchar_t* hint;  // empty: no hint at all
    } cases[] = {{1, 0, L"(Sunday)"}, {1, 1, L"(Sun past week)"}, {1, 2, L"(Sun past week)"}, {2, 0, L""}, {0, 0, L""}};
    for (const auto& c : cases) {
        settings.values[setting::kShowTimeHint] = c.showTimeHint;
        settings.values[setting::kWeekStart] = c.weekStart;
        const std::wstring text = Plan().items[0].text;
        if (*c.hint)
            EXPECT_NE(text.find(c.hint), std::wstring::npos) << text;
        else
            EXPECT_EQ(text.find(L'('), std::wstring::npos) << text;
    }
}

TEST_F(MenuPlanTest, SettingsAreReadInOrderWithTwoReadsPerList) {
    Plan();
    EXPECT_EQ(settings.reads,
              (std::vector<std::wstring>{setting::kFileCount, setting::kShowRecentModified,
                                         setting::kShowRecentAccessed, setting::kHighlightDays, setting::kWeekStart,
                                         setting::kShowTimeHint, setting::kWeekStart, setting::kShowTimeHint}));
}

// The range is checked before anything is scanned, and only a range that
// suffices starts the build (where the handler empties its command map).
TEST_F(MenuPlanTest, IdRangeIsCheckedBeforeTheBuildStartsAndAnythingIsScanned) {
    std::size_t readsAtStart = 0;
    const auto started = [&] { readsAtStart = settings.reads.size(); };
    EXPECT_THROW(PlanMenu(listing, settings.Reader(), 20, started), std::runtime_error);
    EXPECT_EQ(readsAtStart, 0u) << "not started";
    EXPECT_EQ(settings.reads.size(), 4u) << "nothing scanned";
    settings.reads.clear();
    PlanMenu(listing, settings.Reader(), 21, started);
    EXPECT_EQ(readsAtStart, 4u) << "started before the first list's settings are read for its scan";
}

// One list: its items, one separator, "Options...". Values only a registry
// edit can store use no id beyond the range and show no list the user did
// not ask for.
TEST_F(MenuPlanTest, OneListOrNoneAndFileCountBelowOne) {
    AddFile(L"a", UtcCount(2026, 12, 8, 10, 0), UtcCount(2026, 12, 8, 10, 0));
    const struct {
        std::int32_t accessed, modified, fileCount;
        std::uint64_t ids;  // the fewest that suffice
        std::vector<std::wstring> layout;
    } cases[] = {
        {1, 0, 10, 11, {L"f0 a", L"-", L"O1"}},
        {0, 0, 10, 1, {L"O0"}},
        {1, 1, 0, 1, {L"-", L"-", L"O0"}},
        {1, 1, -1, 1, {L"-", L"-", L"O0"}},
        {0, 1, static_cast<std::int32_t>(0x80000000u), 1, {L"-", L"O0"}},
    };
    for (const auto& c : cases) {
        settings.values[setting::kShowRecentAccessed] = c.accessed;
        settings.values[setting::kShowRecentModified] = c.modified;
        settings.values[setting::kFileCount] = c.fileCount;
        EXPECT_EQ(Layout(Plan(c.ids)), c.layout) << c.accessed << c.modified << " FileCount " << c.fileCount;
    }
}

TEST_F(MenuPlanTest, AmpersandsInNamesAreShownAsThemselves) {
    AddFile(L"Tom & Jerry&.txt", UtcCount(2026, 12, 8, 10, 0), UtcCount(2026, 12, 8, 10, 0));
    settings.values[setting::kShowRecentAccessed] = 0;
    const MenuPlan plan = Plan();
    const std::wstring& text = plan.items[0].text;
    EXPECT_EQ(text.substr(text.find(L'\t')), L"\tTom && Jerry&&.txt");
    const std::wstring& title = plan.items[0].title;
    EXPECT_EQ(title.substr(title.find(L" \u2014 ")), L" \u2014 Tom && Jerry&&.txt") << "Windows 11's menus read \"&\" too";
    EXPECT_EQ(plan.items[0].path, ListedPath(L"Tom & Jerry&.txt"));
}

}  // namespace
}  // namespace tessaly
