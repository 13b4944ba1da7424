#include "platform/posix/CalendarMath.h"

namespace tessaly::platform {

static bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

static unsigned DaysInMonth(int year, unsigned month) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::int64_t DaysFrom1601(int year, unsigned month, unsigned day) {
    // Count whole years from 1601 (the first year of a 400-year cycle), then
    // the months and days of the year itself.
    const std::int64_t y = year - 1601;
    std::int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
    for (unsigned m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return days + day - 1;
}

bool IsValidCalendarFields(const SystemTime& f) {
    return f.Year >= 1601 && f.Year <= 30827 && f.Month >= 1 && f.Month <= 12 && f.Day >= 1 &&
           f.Day <= DaysInMonth(f.Year, f.Month) && f.Hour <= 23 && f.Minute <= 59 && f.Second <= 59 &&
           f.Milliseconds <= 999;
}

}  // namespace tessaly::platform
