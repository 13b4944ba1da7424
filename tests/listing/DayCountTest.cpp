#include <gtest/gtest.h>

#include "listing/DayCount.h"
#include "tests/support/CalendarFields.h"

namespace tessaly {
namespace {

using testing::CalendarFields;

TEST(CalendarDaysBetweenTest, CountsCalendarDaysNotElapsedTime) {
    struct Case {
        SystemTime file, now;
        std::int32_t expected;
    };
    const Case cases[] = {
        {CalendarFields(2026, 12, 7, 0, 0, 0, 0), CalendarFields(2026, 12, 7, 0, 5), 0},
        {CalendarFields(2026, 12, 6, 23, 59, 59, 999), CalendarFields(2026, 12, 7, 0, 5), 1},
        {CalendarFields(2026, 12, 9, 8, 0), CalendarFields(2026, 12, 7, 0, 5), -2},
        {CalendarFields(2026, 12, 7, 23, 59), CalendarFields(2026, 12, 7, 0, 5), 0},
        {CalendarFields(2025, 12, 31, 12, 0), CalendarFields(2026, 1, 1, 0, 0), 1},
        {CalendarFields(2024, 2, 28, 12, 0), CalendarFields(2024, 3, 1, 11, 0), 2},  // leap day between
        {CalendarFields(1999, 12, 7, 12, 0), CalendarFields(2026, 12, 7, 11, 0), 9862},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CalendarDaysBetween(c.file, c.now), c.expected)
            << c.file.Year << "-" << c.file.Month << "-" << c.file.Day;
}

TEST(CalendarDaysBetweenTest, UnreadableTimeGivesAValueNoRuleCanUse) {
    EXPECT_EQ(CalendarDaysBetween(SystemTime{}, CalendarFields(2026, 12, 7)), kUnknownDaysAgo);
}

}  // namespace
}  // namespace tessaly
