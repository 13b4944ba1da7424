#pragma once
// The date text of a file item: "<short date> <time without seconds>", then
// " (<hint>)" when the entry has a hint.
#include <string>

#include "listing/TimeHint.h"
#include "platform/SystemTime.h"

namespace tessaly {

// The room of the date text, its terminating zero included.
constexpr int kDateTextRoom = 128;

// A formatting operation with the conventions of platform/LocaleFormat.h.
using FieldsFormatter = int (*)(const SystemTime& fields, wchar_t* buffer, int room);

// Composes the date text in a buffer of kDateTextRoom characters: the date
// (formatDate, with the whole room), a blank, the time (formatTime, into the
// room that is left), then " (", the hint's text and ")" when HintText is not
// empty. FileEntry::DateText passes the user's formats of the platform; tests
// pass their own.
//
// A longer result is cut: the text keeps its first kDateTextRoom - 1
// characters and the buffer stays terminated. A date or time that does not
// fit the room left for it is formatted again without that limit and cut the
// same way, so the cut always falls at the end of the text. A date or time
// that the platform refuses (the all-zero fields of an unreadable entry,
// whose date no platform formats) is an empty part: such an entry reads " "
// followed by whatever time the platform makes of 00:00, and no hint.
std::wstring ComposeDateText(const SystemTime& localTime, TimeHint hint, FieldsFormatter formatDate,
                             FieldsFormatter formatTime);

}  // namespace tessaly
