#pragma once
// What the listing tests share: local calendar fields with their weekday, a
// pinned clock, and the names of a scan in order.
#include <stdexcept>
#include <string>
#include <vector>

#include "listing/FolderListing.h"
#include "platform/Clock.h"
#include "platform/SystemTime.h"
#include "tests/support/CalendarFields.h"

namespace tessaly::testing {

// Calendar fields as written, with the day of week that the date has (found
// through the platform's own conversions, not by the test's arithmetic).
inline SystemTime Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
    SystemTime f = CalendarFields(year, month, day, hour, minute, second, ms);
    FileTimeCount count = 0;
    SystemTime back;
    if (!platform::SystemTimeToFileTime(f, count) || !platform::FileTimeToSystemTime(count, back))
        throw std::runtime_error("invalid test date");
    f.DayOfWeek = back.DayOfWeek;
    return f;
}

// The "now" of PinnedClock, a UTC count.
inline FileTimeCount g_pinnedNow = 0;
inline SystemTime PinnedClock() {
    SystemTime fields;
    platform::FileTimeToSystemTime(g_pinnedNow, fields);
    return fields;
}

inline std::vector<std::wstring> Names(const FolderListing& listing) {
    std::vector<std::wstring> names;
    for (const FileEntry& entry : listing.Files()) names.emplace_back(entry.Name());
    return names;
}

inline const FileEntry& EntryNamed(const FolderListing& listing, const std::wstring& name) {
    for (const FileEntry& entry : listing.Files())
        if (entry.Name() == name) return entry;
    throw std::runtime_error("no such entry in the scan");
}

}  // namespace tessaly::testing
