// Time on the host: the C library's realtime clock and its TZ rules stand in
// for GetSystemTime and SystemTimeToTzSpecificLocalTime.
#include <ctime>

#include "platform/Clock.h"
#include "platform/posix/CalendarMath.h"

namespace tessaly::platform {

namespace {
constexpr FileTimeCount kTicksPerDay = 86'400ull * kTicksPerSecond;

// The largest count FileTimeToSystemTime accepts on Windows.
constexpr FileTimeCount kMaxCount = 0x7FFFFFFFFFFFFFFFull;

SystemTime FieldsFromDays(std::int64_t days) {
    // Days since 1601-01-01, a Monday.
    SystemTime f;
    f.DayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);
    int year = 1601;
    // Jump whole 400-year cycles (146097 days), then walk the rest.
    year += static_cast<int>(days / 146097) * 400;
    days %= 146097;
    for (;;) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        const int length = leap ? 366 : 365;
        if (days < length) break;
        days -= length;
        ++year;
    }
    unsigned month = 1;
    while (month < 12) {
        const std::int64_t start = DaysFrom1601(year, month + 1, 1) - DaysFrom1601(year, 1, 1);
        if (days < start) break;
        ++month;
    }
    f.Year = static_cast<std::uint16_t>(year);
    f.Month = static_cast<std::uint16_t>(month);
    f.Day = static_cast<std::uint16_t>(days - (DaysFrom1601(year, month, 1) - DaysFrom1601(year, 1, 1)) + 1);
    return f;
}
}  // namespace

bool FileTimeToSystemTime(FileTimeCount count, SystemTime& fields) {
    if (count > kMaxCount) return false;
    SystemTime f = FieldsFromDays(static_cast<std::int64_t>(count / kTicksPerDay));
    FileTimeCount rest = count % kTicksPerDay;
    f.Hour = static_cast<std::uint16_t>(rest / (3600 * kTicksPerSecond));
    rest %= 3600 * kTicksPerSecond;
    f.Minute = static_cast<std::uint16_t>(rest / (60 * kTicksPerSecond));
    rest %= 60 * kTicksPerSecond;
    f.Second = static_cast<std::uint16_t>(rest / kTicksPerSecond);
    rest %= kTicksPerSecond;
    f.Milliseconds = static_cast<std::uint16_t>(rest / kTicksPerMillisecond);
    fields = f;
    return true;
}

bool SystemTimeToFileTime(const SystemTime& f, FileTimeCount& count) {
    if (!IsValidCalendarFields(f)) return false;
    const auto days = static_cast<FileTimeCount>(DaysFrom1601(f.Year, f.Month, f.Day));
    count = days * kTicksPerDay + f.Hour * 3600ull * kTicksPerSecond + f.Minute * 60ull * kTicksPerSecond +
            f.Second * kTicksPerSecond + f.Milliseconds * kTicksPerMillisecond;
    return true;
}

SystemTime CurrentUtcTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto count = static_cast<FileTimeCount>(now.tv_sec + kSecondsFrom1601To1970) * kTicksPerSecond +
                       static_cast<FileTimeCount>(now.tv_nsec / 100);
    SystemTime fields;
    FileTimeToSystemTime(count, fields);
    return fields;
}

bool UtcToLocalTime(const SystemTime& utc, SystemTime& local) {
    FileTimeCount count = 0;
    if (!SystemTimeToFileTime(utc, count)) return false;
    const time_t seconds =
        static_cast<time_t>(static_cast<std::int64_t>(count / kTicksPerSecond) - kSecondsFrom1601To1970);
    tzset();  // follow a TZ that changed while the process runs (tests pin zones)
    tm parts{};
    if (localtime_r(&seconds, &parts) == nullptr) return false;
    SystemTime out;
    out.Year = static_cast<std::uint16_t>(parts.tm_year + 1900);
    out.Month = static_cast<std::uint16_t>(parts.tm_mon + 1);
    out.DayOfWeek = static_cast<std::uint16_t>(parts.tm_wday);
    out.Day = static_cast<std::uint16_t>(parts.tm_mday);
    out.Hour = static_cast<std::uint16_t>(parts.tm_hour);
    out.Minute = static_cast<std::uint16_t>(parts.tm_min);
    out.Second = static_cast<std::uint16_t>(parts.tm_sec);
    out.Milliseconds = utc.Milliseconds;
    local = out;
    return true;
}

}  // namespace tessaly::platform
