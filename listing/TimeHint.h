#pragma once
// Time hints: a word or two telling how long ago a file time was, in fixed
// English texts, the same in every locale.
#include <cstdint>

#include "platform/SystemTime.h"

namespace tessaly {

enum class TimeHint : std::int32_t {
    None = 0,
    Today = 1,
    Yesterday = 2,
    // 3 + day of week (0 = Sunday): a day of the current week
    Sunday = 3, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday,
    // 10 + day of week: a day of the week before
    SunPastWeek = 10, MonPastWeek, TuePastWeek, WedPastWeek, ThuPastWeek, FriPastWeek, SatPastWeek,
    ThisMonth = 17,
    PastMonth = 18,
    ThisYear = 19,
    PastYear = 20,
};

// The hint's text; empty for None and for every value outside 1 to 20.
const wchar_t* HintText(TimeHint hint);

// Classifies a file's local time against the current local time; daysAgo is
// the entry's calendar-day count. A pure function of its inputs.
TimeHint ClassifyTime(const SystemTime& fileTime, const SystemTime& now, std::int32_t daysAgo,
                      bool weekStartsOnSunday);

}  // namespace tessaly
