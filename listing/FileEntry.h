#pragma once
// One listed file: its name and path, the chosen file time in local time, the
// sort key, the time hint and the calendar-day count.
#include <cstdint>
#include <string>
#include <string_view>

#include "listing/FileTimeKind.h"
#include "listing/TimeHint.h"
#include "platform/FileSystem.h"
#include "platform/SystemTime.h"

namespace tessaly {

// Where an entry reads the current UTC time; tests pass a fixed clock.
using UtcClock = SystemTime (*)();

struct FileEntry {
    // The file at prefix + name (the directory prefix, ending in a backslash,
    // and the name as the enumeration returned it), the index-th file of the
    // enumeration, with zero times until it is stamped.
    FileEntry(std::wstring_view prefix, std::wstring_view name, std::uint32_t index);

    // Keeps both times that the file's open read, so that the second list of
    // a menu stamps the entry again without a second open. An entry that
    // takes none (its open or read failed) keeps zero times and sorts last.
    void TakeTimes(const platform::FileTimes& times) { m_times = times; }
    // Stamps the entry with its time of the given kind as a local time, its
    // calendar-day count and, when asked, its time hint, against "now" read
    // afresh from the clock.
    void Stamp(FileTimeKind kind, bool showHints, bool weekStartsOnSunday, UtcClock clock);

    // Where the file came in the enumeration (0 for the first file).
    std::uint32_t EnumerationIndex() const { return m_index; }

    // The file's name as the enumeration returned it (long name, no folder
    // part). It is the tail of Path and shares its storage, so its data() is
    // terminated like Path's.
    std::wstring_view Name() const { return std::wstring_view(m_path).substr(m_nameOffset); }
    // The directory prefix followed by Name.
    const std::wstring& Path() const { return m_path; }

    // "<short date> <time without seconds>" in the user's formats, then
    // " (<hint>)" when there is one; at most 127 characters (ComposeDateText
    // in listing/DateText.h tells how a longer text is cut).
    std::wstring DateText() const;

    SystemTime LocalTime;             // zero when the time could not be read
    FileTimeCount SortTime = 0;       // LocalTime as a count, millisecond precision
    TimeHint Hint = TimeHint::None;
    std::int32_t DaysAgo = 0;

private:
    // Name and Path in one string: a folder of many files keeps one text per
    // file (on the host a wide character takes four bytes).
    std::wstring m_path;
    std::uint32_t m_nameOffset = 0;
    std::uint32_t m_index = 0;
    platform::FileTimes m_times{kNoTimes, kNoTimes};  // as read, UTC

    static constexpr FileTimeCount kNoTimes = ~FileTimeCount{0};  // no count reaches it
};

}  // namespace tessaly
