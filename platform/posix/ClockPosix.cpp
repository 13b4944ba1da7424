// Time on the host: the C library's realtime clock and its TZ rules stand in
// for GetSystemTime and SystemTimeToTzSpecificLocalTime.
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/Clock.h"
#include "platform/posix/CalendarMath.h"

namespace tessaly::platform {

namespace {
constexpr FileTimeCount kTicksPerDay = 86'400ull * kTicksPerSecond;

// The largest count FileTimeToSystemTime accepts on Windows.
constexpr FileTimeCount kMaxCount = 0x7FFFFFFFFFFFFFFFull;

// Days from 1 March of year 0 of the proleptic Gregorian calendar to
// 1 January 1601 (the conversions below count from 1 March, so that the leap
// day ends a year: the civil-date algorithms of H. Hinnant).
constexpr std::int64_t kDaysFromMarch0To1601 = 584'694;

// Days since 1601-01-01 of a valid date, in closed form (a folder scan
// converts several times per file).
std::int64_t DaysSince1601(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = year / 400;  // year >= 1600 here
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146'097 + dayOfEra - kDaysFromMarch0To1601;
}

SystemTime FieldsFromDays(std::int64_t days) {
    // Days since 1601-01-01, a Monday.
    SystemTime f;
    f.DayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);
    const std::int64_t z = days + kDaysFromMarch0To1601;
    const std::int64_t era = z / 146'097;
    const std::int64_t dayOfEra = z - era * 146'097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March
    const std::int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    f.Year = static_cast<std::uint16_t>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    f.Month = static_cast<std::uint16_t>(month);
    f.Day = static_cast<std::uint16_t>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    return f;
}

// Re-reads the zone rules (tzset) when the TZ variable has changed since the
// thread last looked, and otherwise at most once a second, so that a zone
// that changes while the process runs (a new TZ, or a new /etc/localtime when
// TZ is unset) is followed as Windows follows a new time zone. Calling tzset
// for every conversion would cost a stat of /etc/localtime each time (when
// TZ is unset), which doubles the system calls of a folder scan. True when
// the rules were read again.
bool FollowZoneChanges() {
    thread_local std::string lastZone;
    thread_local bool zoneWasSet = false;
    thread_local std::int64_t lastCheck = 0;
    thread_local bool checked = false;

    const char* zone = std::getenv("TZ");
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    const bool zoneChanged = (zone != nullptr) != zoneWasSet || (zone != nullptr && lastZone != zone);
    if (checked && !zoneChanged && now.tv_sec == lastCheck) return false;
    tzset();
    checked = true;
    lastCheck = now.tv_sec;
    zoneWasSet = zone != nullptr;
    if (zone != nullptr) lastZone = zone;
    return true;
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
    const auto days = static_cast<FileTimeCount>(DaysSince1601(f.Year, f.Month, f.Day));
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

    // The last conversion of the thread, kept while the zone rules stay: a
    // scan converts "now" once per file, mostly within the same second.
    thread_local bool cached = false;
    thread_local time_t cachedSeconds = 0;
    thread_local SystemTime cachedLocal;
    if (FollowZoneChanges()) cached = false;

    SystemTime out;
    if (cached && seconds == cachedSeconds) {
        out = cachedLocal;
    } else {
        tm parts{};
        if (localtime_r(&seconds, &parts) == nullptr) return false;
        out.Year = static_cast<std::uint16_t>(parts.tm_year + 1900);
        out.Month = static_cast<std::uint16_t>(parts.tm_mon + 1);
        out.DayOfWeek = static_cast<std::uint16_t>(parts.tm_wday);
        out.Day = static_cast<std::uint16_t>(parts.tm_mday);
        out.Hour = static_cast<std::uint16_t>(parts.tm_hour);
        out.Minute = static_cast<std::uint16_t>(parts.tm_min);
        out.Second = static_cast<std::uint16_t>(parts.tm_sec);
        cached = true;
        cachedSeconds = seconds;
        cachedLocal = out;
    }
    out.Milliseconds = utc.Milliseconds;
    local = out;
    return true;
}

}  // namespace tessaly::platform
