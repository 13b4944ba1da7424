#pragma once
#include <cstdint>
#include <limits>

#include "platform/SystemTime.h"

namespace tessaly {

// The day count of an entry whose time could not be read. There is no date to
// count from, so it takes a value that no rule can mistake for a real age: it
// is not below any highlight threshold the options allow (0 to 30) and lies
// beyond every day-count rule of the time hints (1, and up to 13 for the past
// week), so such an entry is never marked and never gets a hint.
constexpr std::int32_t kUnknownDaysAgo = std::numeric_limits<std::int32_t>::max();

// Whole calendar days from the file's local date to today's local date: 0 for
// today, 1 for yesterday, negative for a date after today. Both dates are
// taken at local midnight, so daylight-saving changes in between do not
// matter. kUnknownDaysAgo when either date is not a valid calendar date.
std::int32_t CalendarDaysBetween(const SystemTime& fileTime, const SystemTime& now);

}  // namespace tessaly
