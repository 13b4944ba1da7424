#pragma once
// The highlight mark in front of a file item: "* " for a file touched within
// the last HighlightDays calendar days.
#include <cstdint>

namespace tessaly {

// "* " when daysAgo is less than highlightDays, both taken as signed 32-bit
// integers (the setting is a REG_DWORD, passed on as it is read); the empty
// text otherwise. A date after today (negative daysAgo) is marked even for
// HighlightDays 0; an entry whose time could not be read (kUnknownDaysAgo)
// is never marked.
const wchar_t* HighlightMark(std::int32_t daysAgo, std::int32_t highlightDays);

}  // namespace tessaly
