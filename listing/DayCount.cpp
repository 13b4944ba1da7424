#include "listing/DayCount.h"

#include "platform/Clock.h"

namespace tessaly {

static bool LocalMidnightCount(SystemTime fields, FileTimeCount& count) {
    fields.Hour = fields.Minute = fields.Second = fields.Milliseconds = 0;
    return platform::SystemTimeToFileTime(fields, count);
}

std::int32_t CalendarDaysBetween(const SystemTime& fileTime, const SystemTime& now) {
    FileTimeCount fileMidnight = 0, todayMidnight = 0;
    if (!LocalMidnightCount(fileTime, fileMidnight) || !LocalMidnightCount(now, todayMidnight))
        return kUnknownDaysAgo;
    // Signed difference, divided step by step (seconds, hours, days), each
    // division truncating toward zero; midnights make every step exact.
    const auto difference = static_cast<std::int64_t>(todayMidnight - fileMidnight);
    return static_cast<std::int32_t>(difference / 10'000'000 / 3'600 / 24);
}

}  // namespace tessaly
