#include "listing/FileEntry.h"

#include "diagnostics/DebugOutput.h"
#include "diagnostics/ErrorText.h"
#include "listing/DayCount.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

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

FileEntry::FileEntry(std::wstring_view prefix, std::wstring_view name, FileTimeKind kind, bool showHints,
                     bool weekStartsOnSunday, UtcClock clock)
    : m_nameOffset(static_cast<std::uint32_t>(prefix.size())) {
    m_path.reserve(prefix.size() + name.size());
    m_path.append(prefix).append(name);

    // An attribute-only open is granted even while another program holds the
    // file without sharing, so a locked file still yields its times; the tests'
    // unreadable entry is therefore one that cannot be opened at all.
    platform::FileTimes times;
    switch (platform::ReadFileTimes(m_path, times)) {
        case platform::FileTimesResult::Read:
            StampLocalTime(kind == FileTimeKind::Accessed ? times.LastAccess : times.LastWrite, LocalTime, SortTime);
            break;
        case platform::FileTimesResult::OpenFailed: {
            const wchar_t* error = FormatSystemError(L"", kLastErrorCode);
            WriteDebugLine({L"Tessaly: CreateFile failed for file \"", m_path, L"\" (", error, L")"});
            break;
        }
        case platform::FileTimesResult::ReadFailed:
            break;  // zero times, no message
    }

    // "Now" is read for every entry, so a long scan stays true to the clock.
    const SystemTime now = CurrentLocalTime(clock);
    DaysAgo = CalendarDaysBetween(LocalTime, now);
    if (showHints) Hint = ClassifyTime(LocalTime, now, DaysAgo, weekStartsOnSunday);
}

}  // namespace tessaly
