// Time conversions, run against the host's stand-ins and the real Windows
// functions alike. The program runs with TZ=Europe/Berlin.
#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "tests/support/CalendarFields.h"

namespace tessaly {
namespace {

using testing::CalendarFields;

TEST(ClockTest, CountsAndFieldsRoundTripWithWeekday) {
    struct Case {
        SystemTime fields;
        FileTimeCount count;
        int dayOfWeek;
    };
    const Case cases[] = {
        {CalendarFields(1601, 1, 1), 0, 1},                                   // the epoch, a Monday
        {CalendarFields(1970, 1, 1), 116444736000000000ull, 4},               // the Unix epoch, a Thursday
        {CalendarFields(2000, 2, 29, 23, 59, 59, 999), 125963423999990000ull, 2},  // leap day, Tuesday
        {CalendarFields(2026, 12, 9, 14, 0), 134412984000000000ull, 3},        // a Wednesday
    };
    for (const Case& c : cases) {
        FileTimeCount count = 0;
        ASSERT_TRUE(platform::SystemTimeToFileTime(c.fields, count));
        EXPECT_EQ(count, c.count) << c.fields.Year;
        SystemTime back;
        ASSERT_TRUE(platform::FileTimeToSystemTime(c.count, back));
        EXPECT_EQ(back.Year, c.fields.Year);
        EXPECT_EQ(back.Month, c.fields.Month);
        EXPECT_EQ(back.Day, c.fields.Day);
        EXPECT_EQ(back.Hour, c.fields.Hour);
        EXPECT_EQ(back.Minute, c.fields.Minute);
        EXPECT_EQ(back.Second, c.fields.Second);
        EXPECT_EQ(back.Milliseconds, c.fields.Milliseconds);
        EXPECT_EQ(back.DayOfWeek, c.dayOfWeek) << c.fields.Year;
    }
}

TEST(ClockTest, SubMillisecondDigitsAreDropped) {
    SystemTime fields;
    ASSERT_TRUE(platform::FileTimeToSystemTime(116444736000000000ull + 12'345'678, fields));
    EXPECT_EQ(fields.Second, 1);
    EXPECT_EQ(fields.Milliseconds, 234);
}

TEST(ClockTest, InvalidFieldsAreRefused) {
    FileTimeCount count = 0;
    EXPECT_FALSE(platform::SystemTimeToFileTime(SystemTime{}, count));  // year 0
    EXPECT_FALSE(platform::SystemTimeToFileTime(CalendarFields(2026, 13, 1), count));
    EXPECT_FALSE(platform::SystemTimeToFileTime(CalendarFields(2026, 1, 1, 24), count));
    EXPECT_TRUE(platform::SystemTimeToFileTime(CalendarFields(2024, 2, 29), count));
}

TEST(ClockTest, LocalTimeFollowsTheZoneRulesForEachMoment) {
    // Berlin: UTC+1 in winter, UTC+2 in summer; the clocks went back on
    // 25 October 2026 at 01:00 UTC.
    struct Case {
        SystemTime utc;
        SystemTime local;
        int dayOfWeek;
    };
    const Case cases[] = {
        {CalendarFields(2026, 12, 9, 13, 0, 0, 250), CalendarFields(2026, 12, 9, 14, 0, 0, 250), 3},
        {CalendarFields(2026, 7, 1, 22, 30), CalendarFields(2026, 7, 2, 0, 30), 4},
        {CalendarFields(2026, 10, 25, 0, 30), CalendarFields(2026, 10, 25, 2, 30), 0},  // first run of the repeated hour
        {CalendarFields(2026, 10, 25, 1, 30), CalendarFields(2026, 10, 25, 2, 30), 0},  // second run
        {CalendarFields(2026, 12, 31, 23, 30), CalendarFields(2027, 1, 1, 0, 30), 5},
    };
    for (const Case& c : cases) {
        SystemTime local;
        ASSERT_TRUE(platform::UtcToLocalTime(c.utc, local));
        EXPECT_EQ(local.Year, c.local.Year);
        EXPECT_EQ(local.Month, c.local.Month);
        EXPECT_EQ(local.Day, c.local.Day);
        EXPECT_EQ(local.Hour, c.local.Hour) << c.utc.Month << "-" << c.utc.Day << " " << c.utc.Hour;
        EXPECT_EQ(local.Minute, c.local.Minute);
        EXPECT_EQ(local.Milliseconds, c.local.Milliseconds);
        EXPECT_EQ(local.DayOfWeek, c.dayOfWeek);
    }
}

TEST(ClockTest, CurrentTimeIsAPlausibleUtcTime) {
    const SystemTime now = platform::CurrentUtcTime();
    EXPECT_GE(now.Year, 2024);
    FileTimeCount count = 0;
    EXPECT_TRUE(platform::SystemTimeToFileTime(now, count));
}

}  // namespace
}  // namespace tessaly
