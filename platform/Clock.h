#pragma once
// Current time and the conversions between UTC counts, UTC calendar fields
// and local calendar fields.
#include "platform/SystemTime.h"

namespace tessaly::platform {

// The current UTC time as calendar fields (GetSystemTime).
SystemTime CurrentUtcTime();

// UTC count to UTC calendar fields; milliseconds kept, finer digits dropped.
bool FileTimeToSystemTime(FileTimeCount count, SystemTime& fields);

// UTC fields to local fields of the current time zone, with the daylight-
// saving offset that the zone's rules give for that moment; sets DayOfWeek.
bool UtcToLocalTime(const SystemTime& utc, SystemTime& local);

// Calendar fields to a count, without any zone shift. Fails on fields
// outside the platform's range (year 0, month 13, ...).
bool SystemTimeToFileTime(const SystemTime& fields, FileTimeCount& count);

}  // namespace tessaly::platform
