// The highlight rule: "* " when DaysAgo < HighlightDays, signed.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "listing/DayCount.h"
#include "listing/FolderListing.h"
#include "listing/Highlight.h"
#include "tests/listing/ListingFixtures.h"
#include "tests/support/TempFolder.h"

namespace tessaly {
namespace {

TEST(HighlightTest, MarksDayCountsBelowTheSetting) {
    // Rows: DaysAgo; columns: HighlightDays 0, 1, 2, 3.
    struct Row {
        std::int32_t daysAgo;
        bool marked[4];
    };
    const Row rows[] = {
        {-2, {true, true, true, true}},  // two days after today
        {-1, {true, true, true, true}},
        {0, {false, true, true, true}},   // today
        {1, {false, false, true, true}},  // yesterday
        {2, {false, false, false, true}},
        {3, {false, false, false, false}},
        {30, {false, false, false, false}},
        {kUnknownDaysAgo, {false, false, false, false}},
    };
    for (const Row& row : rows)
        for (std::int32_t days = 0; days <= 3; ++days)
            EXPECT_STREQ(HighlightMark(row.daysAgo, days), row.marked[days] ? L"* " : L"")
                << "DaysAgo " << row.daysAgo << ", HighlightDays " << days;
}

TEST(HighlightTest, ComparesAsSigned32BitIntegers) {
    // A stored REG_DWORD of 0xFFFFFFFF reads as -1: nothing of today or
    // earlier is marked, as for 0.
    EXPECT_STREQ(HighlightMark(0, static_cast<std::int32_t>(0xFFFFFFFFu)), L"");
    EXPECT_STREQ(HighlightMark(-2, static_cast<std::int32_t>(0xFFFFFFFFu)), L"* ");
    EXPECT_STREQ(HighlightMark(std::numeric_limits<std::int32_t>::min(), 0), L"* ");
    EXPECT_STREQ(HighlightMark(29, 30), L"* ");
    EXPECT_STREQ(HighlightMark(30, 30), L"");
    // The unreadable entry stays unmarked for every value the options offer.
    for (std::int32_t days = 0; days <= 30; ++days) EXPECT_STREQ(HighlightMark(kUnknownDaysAgo, days), L"");
}

// The rule on the day counts of a real scan: clock at 14:00 local on
// Wednesday 9 December 2026 (TZ=Europe/Berlin).
TEST(HighlightTest, MarksScannedFilesByCalendarDays) {
    testing::TempFolder folder;
    struct File {
        const wchar_t* name;
        FileTimeCount written;
        std::int32_t daysAgo;
        const wchar_t* marks;  // HighlightDays 0..3: '*' marked, '-' not
    };
    const File files[] = {
        {L"future", testing::UtcCount(2026, 12, 11, 9, 0), -2, L"****"},
        {L"later-today", testing::UtcCount(2026, 12, 9, 20, 0), 0, L"-***"},  // 21:00 local, later than now
        {L"today", testing::UtcCount(2026, 12, 9, 7, 0), 0, L"-***"},
        {L"yesterday", testing::UtcCount(2026, 12, 8, 20, 0), 1, L"--**"},
        {L"two-days", testing::UtcCount(2026, 12, 7, 9, 0), 2, L"---*"},
        {L"three-days", testing::UtcCount(2026, 12, 6, 9, 0), 3, L"----"},
    };
    for (const File& f : files) {
        folder.MakeFile(f.name);
        folder.SetTimes(f.name, f.written, f.written);
    }
    testing::g_pinnedNow = testing::UtcCount(2026, 12, 9, 13, 0);
    FolderListing listing(testing::PinnedClock);
    listing.SetFolder(folder.Path());
    listing.Scan(FileTimeKind::Modified, true, true);
    for (const File& f : files) {
        const FileEntry& entry = testing::EntryNamed(listing, f.name);
        EXPECT_EQ(entry.DaysAgo, f.daysAgo) << f.name;
        for (std::int32_t days = 0; days <= 3; ++days)
            EXPECT_STREQ(HighlightMark(entry.DaysAgo, days), f.marks[days] == L'*' ? L"* " : L"")
                << f.name << ", HighlightDays " << days;
    }
    // Later today than the current minute: day count 0 and no hint.
    EXPECT_EQ(testing::EntryNamed(listing, L"later-today").Hint, TimeHint::None);
}

}  // namespace
}  // namespace tessaly
