#include "listing/TimeHint.h"

#include <tuple>

namespace tessaly {

const wchar_t* HintText(TimeHint hint) {
    static const wchar_t* const kTexts[] = {
        L"",
        L"Today",
        L"Yesterday",
        L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday",
        L"Sun past week", L"Mon past week", L"Tue past week", L"Wed past week", L"Thu past week",
        L"Fri past week", L"Sat past week",
        L"This month",
        L"Past month",
        L"This year",
        L"Past year",
    };
    const auto value = static_cast<std::int32_t>(hint);
    return value >= 1 && value <= 20 ? kTexts[value] : L"";
}

TimeHint ClassifyTime(const SystemTime& e, const SystemTime& n, std::int32_t daysAgo, bool weekStartsOnSunday) {
    // Seconds take no part: a time later than now within this minute is not later.
    if (std::tie(e.Year, e.Month, e.Day, e.Hour, e.Minute) > std::tie(n.Year, n.Month, n.Day, n.Hour, n.Minute))
        return TimeHint::None;
    if (e.Year == n.Year && e.Month == n.Month && e.Day == n.Day) return TimeHint::Today;
    if (daysAgo == 1) return TimeHint::Yesterday;

    // Days from the first day of the current week to today.
    const std::int32_t intoWeek = weekStartsOnSunday ? n.DayOfWeek : (n.DayOfWeek + 6) % 7;
    if (daysAgo <= intoWeek) return static_cast<TimeHint>(3 + e.DayOfWeek);
    if (daysAgo <= intoWeek + 7) return static_cast<TimeHint>(10 + e.DayOfWeek);

    if (e.Year == n.Year && e.Month == n.Month) return TimeHint::ThisMonth;
    // January's month before is December of the year before, not a month 0.
    if ((e.Year == n.Year && e.Month + 1 == n.Month) || (e.Year + 1 == n.Year && e.Month == 12 && n.Month == 1))
        return TimeHint::PastMonth;
    if (e.Year == n.Year) return TimeHint::ThisYear;
    if (e.Year + 1 == n.Year) return TimeHint::PastYear;
    return TimeHint::None;
}

}  // namespace tessaly
