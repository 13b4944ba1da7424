#pragma once
// One listed file: its name and path, the chosen file time in local time, the
// sort key, the time hint and the calendar-day count.
#include <cstdint>
#include <string>

#include "listing/FileTimeKind.h"
#include "listing/TimeHint.h"
#include "platform/SystemTime.h"

namespace tessaly {

// Where an entry reads the current UTC time; tests pass a fixed clock.
using UtcClock = SystemTime (*)();

struct FileEntry {
    // Stamps the file at path with its time of the given kind. A file whose
    // times cannot be read keeps zero times (one debug line when it cannot be
    // opened) and sorts last.
    FileEntry(std::wstring name, std::wstring path, FileTimeKind kind, bool showHints, bool weekStartsOnSunday,
              UtcClock clock);

    // "<short date> <time without seconds>" in the user's formats, then
    // " (<hint>)" when there is one; at most 127 characters (ComposeDateText
    // in listing/DateText.h tells how a longer text is cut).
    std::wstring DateText() const;

    std::wstring Name;
    std::wstring Path;
    SystemTime LocalTime;             // zero when the time could not be read
    FileTimeCount SortTime = 0;       // LocalTime as a count, millisecond precision
    TimeHint Hint = TimeHint::None;
    std::int32_t DaysAgo = 0;
};

}  // namespace tessaly
