#include "listing/FileEntry.h"

#include "listing/DayCount.h"
#include "platform/Clock.h"

namespace tessaly {

namespace {

// UTC count -> local calendar fields and their count without zone shift.
bool StampLocalTime(FileTimeCount utc, SystemTime& local, FileTimeCount& sortTime) {
    SystemTime utcFields, localFields;
    FileTimeCount count = 0;
    if (!platform::FileTimeToSystemTime(utc, utcFields) || !platform::UtcToLocalTime(utcFields, localFields) ||
        !platform::SystemTimeToFileTime(localFields, count))
        return false;
    local = localFields;
    sortTime = count;
    return true;
}

SystemTime CurrentLocalTime(UtcClock clock) {
    SystemTime local;
    platform::UtcToLocalTime(clock(), local);
    return local;
}

}  // namespace

FileEntry::FileEntry(std::wstring_view prefix, std::wstring_view name, std::uint32_t index)
    : m_nameOffset(static_cast<std::uint32_t>(prefix.size())), m_index(index) {
    m_path.reserve(prefix.size() + name.size());
    m_path.append(prefix).append(name);
}

void FileEntry::Stamp(FileTimeKind kind, bool showHints, bool weekStartsOnSunday, UtcClock clock) {
    LocalTime = SystemTime{};
    SortTime = 0;
    Hint = TimeHint::None;
    if (m_times.LastAccess != kNoTimes || m_times.LastWrite != kNoTimes)
        StampLocalTime(kind == FileTimeKind::Accessed ? m_times.LastAccess : m_times.LastWrite, LocalTime, SortTime);

    // "Now" is read for every entry, so a long scan stays true to the clock.
    const SystemTime now = CurrentLocalTime(clock);
    DaysAgo = CalendarDaysBetween(LocalTime, now);
    if (showHints) Hint = ClassifyTime(LocalTime, now, DaysAgo, weekStartsOnSunday);
}

}  // namespace tessaly
