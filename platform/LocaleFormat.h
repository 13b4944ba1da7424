#pragma once
// The user's own date and time formats: what the date text of a listed file
// needs from the national-language support of the system.
#include "platform/SystemTime.h"

namespace tessaly::platform {

// Both functions follow the Win32 conventions of GetDateFormatW and
// GetTimeFormatW: they write into buffer, whose room is given in characters,
// and return the number of characters written including the terminating
// zero, or 0 on failure with the thread's last error set
// (win32::kInvalidParameter for fields the formatting refuses,
// win32::kInsufficientBuffer when the text and its terminator do not fit;
// the buffer's content is then unspecified). A room of 0 writes nothing and
// returns the room the text needs.

// The date of the fields in the user's short date format (GetDateFormatW
// with LOCALE_USER_DEFAULT, no flags, no picture). Only year, month and day
// are used, and they must form a valid date.
int FormatShortDate(const SystemTime& fields, wchar_t* buffer, int room);

// The time of the fields in the user's time format without seconds
// (GetTimeFormatW with LOCALE_USER_DEFAULT and TIME_NOSECONDS, no picture).
// Only hour, minute, second and millisecond are used and checked.
int FormatTimeWithoutSeconds(const SystemTime& fields, wchar_t* buffer, int room);

}  // namespace tessaly::platform
