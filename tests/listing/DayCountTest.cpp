#include <gtest/gtest.h>

#include "listing/DayCount.h"

namespace tessaly {
namespace {

SystemTime Local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
    SystemTime f;
    f.Year = static_cast<std::uint16_t>(year);
    f.Month = static_cast<std::uint16_t>(month);
    f.Day = static_cast<std::uint16_t>(day);
    f.Hour = static_cast<std::uint16_t>(hour);
    f.Minute = static_cast<std::uint16_t>(minute);
    f.Second = static_cast<std::uint16_t>(second);
    f.Milliseconds = static_cast<std::uint16_t>(ms);
    return f;
}

TEST(CalendarDaysBetweenTest, CountsCalendarDaysNotElapsedTime) {
    struct Case {
        SystemTime file, now;
        std::int32_t expected;
    };
    const Case cases[] = {
        {Local(2026, 12, 7, 0, 0, 0, 0), Local(2026, 12, 7, 0, 5), 0},
        {Local(2026, 12, 6, 23, 59, 59, 999), Local(2026, 12, 7, 0, 5), 1},
        {Local(2026, 12, 9, 8, 0), Local(2026, 12, 7, 0, 5), -2},
        {Local(2026, 12, 7, 23, 59), Local(2026, 12, 7, 0, 5), 0},
        {Local(2025, 12, 31, 12, 0), Local(2026, 1, 1, 0, 0), 1},
        {Local(2024, 2, 28, 12, 0), Local(2024, 3, 1, 11, 0), 2},  // leap day between
        {Local(1999, 12, 7, 12, 0), Local(2026, 12, 7, 11, 0), 9862},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CalendarDaysBetween(c.file, c.now), c.expected)
            << c.file.Year << "-" << c.file.Month << "-" << c.file.Day;
}

TEST(CalendarDaysBetweenTest, UnreadableTimeGivesAValueNoRuleCanUse) {
    EXPECT_EQ(CalendarDaysBetween(SystemTime{}, Local(2026, 12, 7)), kUnknownDaysAgo);
    // Never below any highlight threshold the options offer, never a day-count rule.
    EXPECT_GT(kUnknownDaysAgo, 30);
}

}  // namespace
}  // namespace tessaly
