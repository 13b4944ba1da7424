#include <windows.h>

#include "platform/LocaleFormat.h"

namespace tessaly::platform {

static SYSTEMTIME ToNative(const SystemTime& f) {
    return SYSTEMTIME{f.Year, f.Month, f.DayOfWeek, f.Day, f.Hour, f.Minute, f.Second, f.Milliseconds};
}

int FormatShortDate(const SystemTime& fields, wchar_t* buffer, int room) {
    const SYSTEMTIME native = ToNative(fields);
    return ::GetDateFormatW(LOCALE_USER_DEFAULT, 0, &native, nullptr, buffer, room);
}

int FormatTimeWithoutSeconds(const SystemTime& fields, wchar_t* buffer, int room) {
    const SYSTEMTIME native = ToNative(fields);
    return ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &native, nullptr, buffer, room);
}

}  // namespace tessaly::platform
