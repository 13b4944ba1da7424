// Time hints: the texts, the nine rules of the classification and
// the tables of worked dates, as pure functions of the file time, "now", the day count
// and the week start; then the same table through a real scan.
#include <gtest/gtest.h>

#include <string>

#include "listing/DayCount.h"
#include "listing/FolderListing.h"
#include "listing/TimeHint.h"
#include "tests/listing/ListingFixtures.h"
#include "tests/support/TempFolder.h"

namespace tessaly {
namespace {

using testing::Fields;

// The hint of a file time seen at "now", with the day count the scan would
// compute for it.
std::wstring Hint(const SystemTime& file, const SystemTime& now, bool weekStartsOnSunday) {
    return HintText(ClassifyTime(file, now, CalendarDaysBetween(file, now), weekStartsOnSunday));
}

struct TableRow {
    SystemTime file;
    const wchar_t* sundayStart;
    const wchar_t* mondayStart;
};

void CheckTable(const SystemTime& now, const std::vector<TableRow>& rows) {
    for (const TableRow& row : rows) {
        const std::string date = std::to_string(row.file.Year) + "-" + std::to_string(row.file.Month) + "-" +
                                 std::to_string(row.file.Day);
        EXPECT_EQ(Hint(row.file, now, true), row.sundayStart) << date << ", week starting Sunday";
        EXPECT_EQ(Hint(row.file, now, false), row.mondayStart) << date << ", week starting Monday";
    }
}

TEST(TimeHintTest, EveryValueHasItsTextAndOthersHaveNone) {
    const wchar_t* const expected[] = {
        L"",           L"Today",         L"Yesterday",     L"Sunday",        L"Monday",        L"Tuesday",
        L"Wednesday",  L"Thursday",      L"Friday",        L"Saturday",      L"Sun past week", L"Mon past week",
        L"Tue past week", L"Wed past week", L"Thu past week", L"Fri past week", L"Sat past week", L"This month",
        L"Past month", L"This year",     L"Past year",
    };
    for (int value = 0; value <= 20; ++value)
        EXPECT_STREQ(HintText(static_cast<TimeHint>(value)), expected[value]) << value;
    for (int value : {-1, 21, 22, 100, -2147483647 - 1, 2147483647})
        EXPECT_STREQ(HintText(static_cast<TimeHint>(value)), L"") << value;
}

TEST(TimeHintTest, TableOnWednesday9December2026) {
    CheckTable(Fields(2026, 12, 9, 14, 0), {
        {Fields(2026, 12, 7, 10, 0), L"Monday", L"Monday"},
        {Fields(2026, 12, 6, 10, 0), L"Sunday", L"Sun past week"},
        {Fields(2026, 12, 5, 10, 0), L"Sat past week", L"Sat past week"},
        {Fields(2026, 11, 30, 10, 0), L"Mon past week", L"Mon past week"},
        {Fields(2026, 11, 29, 10, 0), L"Sun past week", L"Past month"},
        {Fields(2026, 11, 28, 10, 0), L"Past month", L"Past month"},
    });
}

TEST(TimeHintTest, TableOnSunday13December2026) {
    CheckTable(Fields(2026, 12, 13, 14, 0), {
        {Fields(2026, 12, 12, 10, 0), L"Yesterday", L"Yesterday"},
        {Fields(2026, 12, 11, 10, 0), L"Fri past week", L"Friday"},
        {Fields(2026, 12, 7, 10, 0), L"Mon past week", L"Monday"},
        {Fields(2026, 12, 6, 10, 0), L"Sun past week", L"Sun past week"},
        {Fields(2026, 12, 5, 10, 0), L"This month", L"Sat past week"},
        {Fields(2026, 11, 30, 10, 0), L"Past month", L"Mon past week"},
    });
}

TEST(TimeHintTest, TableOnSunday3January2027WeekStartingSunday) {
    const SystemTime now = Fields(2027, 1, 3, 14, 0);
    EXPECT_EQ(Hint(Fields(2026, 12, 27, 10, 0), now, true), L"Sun past week");
    EXPECT_EQ(Hint(Fields(2026, 12, 26, 10, 0), now, true), L"Past month");
    EXPECT_EQ(Hint(Fields(2026, 11, 20, 10, 0), now, true), L"Past year");
    EXPECT_EQ(Hint(Fields(2025, 12, 31, 10, 0), now, true), L"");
}

TEST(TimeHintTest, LaterThanNowCountsByTheMinute) {
    const SystemTime now = Fields(2026, 12, 9, 14, 0, 30, 500);
    for (bool sunday : {true, false}) {
        EXPECT_EQ(Hint(Fields(2026, 12, 9, 14, 0, 59, 999), now, sunday), L"Today");  // same minute: not later
        EXPECT_EQ(Hint(Fields(2026, 12, 9, 14, 0, 0, 0), now, sunday), L"Today");
        EXPECT_EQ(Hint(Fields(2026, 12, 9, 14, 1), now, sunday), L"");
        EXPECT_EQ(Hint(Fields(2026, 12, 9, 23, 59), now, sunday), L"");
        EXPECT_EQ(Hint(Fields(2026, 12, 10, 8, 0), now, sunday), L"");  // the next morning
        EXPECT_EQ(Hint(Fields(2027, 1, 1, 0, 0), now, sunday), L"");
        EXPECT_EQ(Hint(Fields(2026, 12, 9, 0, 0), now, sunday), L"Today");
    }
}

TEST(TimeHintTest, LaterThanNowComparesEachFieldAsUnsignedInOrder) {
    // Year before month before day before hour before minute: a later year
    // wins over every smaller field, an earlier one loses to every larger one.
    const SystemTime now = Fields(2026, 6, 15, 12, 30);
    EXPECT_EQ(Hint(Fields(2027, 1, 1, 0, 0), now, true), L"");             // later year, smaller fields
    EXPECT_EQ(Hint(Fields(2026, 7, 1, 0, 0), now, true), L"");             // later month
    EXPECT_EQ(Hint(Fields(2026, 6, 15, 13, 0), now, true), L"");           // later hour
    EXPECT_EQ(Hint(Fields(2025, 12, 31, 23, 59), now, true), L"Past year");  // earlier year, larger fields
    EXPECT_EQ(Hint(Fields(2026, 5, 31, 23, 59), now, true), L"Past month");
    EXPECT_EQ(Hint(Fields(2026, 6, 15, 11, 59, 59, 999), now, true), L"Today");
    // Fields beyond the signed 16-bit range still count as larger.
    SystemTime huge = Fields(2026, 6, 15, 12, 30);
    huge.Minute = 0x8000;
    EXPECT_EQ(ClassifyTime(huge, now, 0, true), TimeHint::None);
}

TEST(TimeHintTest, YesterdayWinsOverWeekdayAndPastMonthAndPastYear) {
    struct Case {
        SystemTime now, file;
        bool weekStartsOnSunday;
    };
    const Case cases[] = {
        // would be "Wednesday" (a day of this week)
        {Fields(2026, 12, 10, 9, 0), Fields(2026, 12, 9, 23, 59), true},
        // would be "Sun past week" (first day of a Monday week)
        {Fields(2026, 12, 14, 9, 0), Fields(2026, 12, 13, 23, 59), false},
        // would be "Sat past week" (first day of a Sunday week)
        {Fields(2026, 12, 13, 9, 0), Fields(2026, 12, 12, 23, 59), true},
        // would be "Mon past week" or "Past month"
        {Fields(2026, 12, 1, 0, 0), Fields(2026, 11, 30, 23, 59), true},
        {Fields(2026, 12, 1, 0, 0), Fields(2026, 11, 30, 0, 0), false},
        // across the year: would be "Past month" / "Past year"
        {Fields(2027, 1, 1, 0, 5), Fields(2026, 12, 31, 23, 59, 59, 999), true},
        {Fields(2027, 1, 1, 0, 5), Fields(2026, 12, 31, 0, 0), false},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(CalendarDaysBetween(c.file, c.now), 1);
        EXPECT_EQ(ClassifyTime(c.file, c.now, 1, c.weekStartsOnSunday), TimeHint::Yesterday)
            << c.now.Month << "-" << c.now.Day;
    }
}

TEST(TimeHintTest, OnTheFirstDayOfAWeekNoFileGetsAPlainWeekdayName) {
    struct Case {
        SystemTime today;
        bool weekStartsOnSunday;
    };
    const Case cases[] = {{Fields(2026, 12, 13, 14, 0), true}, {Fields(2026, 12, 14, 14, 0), false}};
    for (const Case& c : cases) {
        FileTimeCount todayCount = 0;
        ASSERT_TRUE(platform::SystemTimeToFileTime(c.today, todayCount));
        for (int back = 1; back <= 7; ++back) {
            SystemTime file;
            ASSERT_TRUE(platform::FileTimeToSystemTime(todayCount - back * 86'400ull * kTicksPerSecond, file));
            const TimeHint hint = ClassifyTime(file, c.today, CalendarDaysBetween(file, c.today), c.weekStartsOnSunday);
            if (back == 1) {
                EXPECT_EQ(hint, TimeHint::Yesterday);
            } else {
                EXPECT_EQ(static_cast<int>(hint), 10 + file.DayOfWeek) << back << " days back";
            }
        }
    }
}

TEST(TimeHintTest, EachDayOfTheCurrentWeekHasItsName) {
    // Saturday 19 December 2026, week starting Sunday: Sunday 13 to Thursday
    // 17 are plain names, Friday 18 is yesterday.
    const SystemTime now = Fields(2026, 12, 19, 14, 0);
    const wchar_t* const names[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday"};
    for (int day = 13; day <= 17; ++day) EXPECT_EQ(Hint(Fields(2026, 12, day, 8, 0), now, true), names[day - 13]);
    EXPECT_EQ(Hint(Fields(2026, 12, 18, 8, 0), now, true), L"Yesterday");
    EXPECT_EQ(Hint(Fields(2026, 12, 12, 8, 0), now, true), L"Sat past week");
    EXPECT_EQ(Hint(Fields(2026, 12, 6, 8, 0), now, true), L"Sun past week");
    EXPECT_EQ(Hint(Fields(2026, 12, 5, 8, 0), now, true), L"This month");
    // Week starting Monday: Monday 14 to Thursday 17 plain, Sunday 13 past week.
    EXPECT_EQ(Hint(Fields(2026, 12, 14, 8, 0), now, false), L"Monday");
    EXPECT_EQ(Hint(Fields(2026, 12, 13, 8, 0), now, false), L"Sun past week");
    EXPECT_EQ(Hint(Fields(2026, 12, 7, 8, 0), now, false), L"Mon past week");
    EXPECT_EQ(Hint(Fields(2026, 12, 6, 8, 0), now, false), L"This month");
}

TEST(TimeHintTest, MonthAndYearRules) {
    struct Case {
        SystemTime file, now;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {Fields(2026, 11, 1, 10, 0), Fields(2026, 12, 31, 14, 0), L"Past month"},  // 1 November on 31 December
        {Fields(2026, 12, 1, 10, 0), Fields(2026, 12, 31, 14, 0), L"This month"},
        {Fields(2026, 10, 31, 10, 0), Fields(2026, 12, 31, 14, 0), L"This year"},
        {Fields(2026, 1, 1, 0, 0), Fields(2026, 12, 31, 14, 0), L"This year"},
        {Fields(2025, 12, 1, 10, 0), Fields(2026, 12, 31, 14, 0), L"Past year"},  // December of the year before
        {Fields(2025, 1, 1, 10, 0), Fields(2026, 12, 31, 14, 0), L"Past year"},
        {Fields(2024, 12, 31, 10, 0), Fields(2026, 12, 31, 14, 0), L""},
        {Fields(2025, 12, 10, 10, 0), Fields(2026, 1, 31, 14, 0), L"Past month"},  // January's month before
        {Fields(2025, 11, 30, 10, 0), Fields(2026, 1, 31, 14, 0), L"Past year"},
        {Fields(2025, 12, 10, 10, 0), Fields(2026, 2, 20, 14, 0), L"Past year"},  // December is not February's
        {Fields(1999, 6, 1, 10, 0), Fields(2026, 12, 31, 14, 0), L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hint(c.file, c.now, true), c.expected)
            << c.file.Year << "-" << c.file.Month << "-" << c.file.Day << " on " << c.now.Year << "-" << c.now.Month
            << "-" << c.now.Day;
}

TEST(TimeHintTest, WeekRulesCompareTheDayCountSigned) {
    // A negative day count (which a consistent scan only gives for a time
    // that rule 1 has already sent away) is "at most s": signed, as written.
    const SystemTime now = Fields(2026, 12, 9, 14, 0);
    const SystemTime file = Fields(2026, 12, 2, 10, 0);  // a Wednesday, earlier than now
    EXPECT_EQ(ClassifyTime(file, now, -1, true), TimeHint::Wednesday);
    EXPECT_EQ(ClassifyTime(file, now, -2147483647 - 1, false), TimeHint::Wednesday);
    EXPECT_EQ(ClassifyTime(file, now, 7, true), TimeHint::WedPastWeek);
}

TEST(TimeHintTest, UnreadableTimeGetsNoHint) {
    for (bool sunday : {true, false}) {
        EXPECT_EQ(ClassifyTime(SystemTime{}, Fields(2026, 12, 9, 14, 0), kUnknownDaysAgo, sunday), TimeHint::None);
        EXPECT_EQ(ClassifyTime(SystemTime{}, Fields(1601, 1, 1, 0, 0), kUnknownDaysAgo, sunday), TimeHint::None);
    }
}

// The Wednesday table again, through real files and a scan (TZ=Europe/Berlin:
// 13:00 UTC is 14:00 local, 09:00 UTC is 10:00 local in December).
TEST(TimeHintTest, ScanClassifiesWithTheClockItRead) {
    testing::TempFolder folder;
    struct Row {
        const wchar_t* name;
        int month, day;
        const wchar_t* sundayStart;
        const wchar_t* mondayStart;
    };
    const Row rows[] = {
        {L"mon7", 12, 7, L"Monday", L"Monday"},
        {L"sun6", 12, 6, L"Sunday", L"Sun past week"},
        {L"sat5", 12, 5, L"Sat past week", L"Sat past week"},
        {L"mon30", 11, 30, L"Mon past week", L"Mon past week"},
        {L"sun29", 11, 29, L"Sun past week", L"Past month"},
        {L"sat28", 11, 28, L"Past month", L"Past month"},
        {L"today", 12, 9, L"Today", L"Today"},
        {L"tue8", 12, 8, L"Yesterday", L"Yesterday"},
    };
    for (const Row& row : rows) {
        folder.MakeFile(row.name);
        const FileTimeCount t = testing::UtcCount(2026, row.month, row.day, 9, 0);
        folder.SetTimes(row.name, t, t);
    }
    testing::g_pinnedNow = testing::UtcCount(2026, 12, 9, 13, 0);
    FolderListing listing(testing::PinnedClock);
    listing.SetFolder(folder.Path());
    for (bool sunday : {true, false}) {
        listing.Scan(FileTimeKind::Accessed, true, sunday);
        ASSERT_EQ(listing.Files().size(), std::size(rows));
        for (const Row& row : rows)
            EXPECT_STREQ(HintText(testing::EntryNamed(listing, row.name).Hint),
                         sunday ? row.sundayStart : row.mondayStart)
                << row.name;
    }
}

}  // namespace
}  // namespace tessaly
