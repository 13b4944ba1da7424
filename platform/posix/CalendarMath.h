#pragma once
// Proleptic Gregorian calendar arithmetic on FILETIME counts, as the Windows
// conversion functions do it, for the host implementation.
#include <cstdint>

#include "platform/SystemTime.h"

namespace tessaly::platform {

// Days since 1601-01-01 of a date; the date must be valid.
std::int64_t DaysFrom1601(int year, unsigned month, unsigned day);
bool IsValidCalendarFields(const SystemTime& fields);

// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

}  // namespace tessaly::platform
