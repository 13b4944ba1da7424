#include <windows.h>

#include "platform/Clock.h"

namespace tessaly::platform {

static SYSTEMTIME ToNative(const SystemTime& f) {
    return SYSTEMTIME{f.Year, f.Month, f.DayOfWeek, f.Day, f.Hour, f.Minute, f.Second, f.Milliseconds};
}
static SystemTime FromNative(const SYSTEMTIME& n) {
    SystemTime f;
    f.Year = n.wYear;
    f.Month = n.wMonth;
    f.DayOfWeek = n.wDayOfWeek;
    f.Day = n.wDay;
    f.Hour = n.wHour;
    f.Minute = n.wMinute;
    f.Second = n.wSecond;
    f.Milliseconds = n.wMilliseconds;
    return f;
}

SystemTime CurrentUtcTime() {
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    return FromNative(now);
}

bool FileTimeToSystemTime(FileTimeCount count, SystemTime& fields) {
    FILETIME time{static_cast<DWORD>(count), static_cast<DWORD>(count >> 32)};
    SYSTEMTIME native;
    if (!::FileTimeToSystemTime(&time, &native)) return false;
    fields = FromNative(native);
    return true;
}

bool UtcToLocalTime(const SystemTime& utc, SystemTime& local) {
    SYSTEMTIME in = ToNative(utc), out;
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &in, &out)) return false;
    local = FromNative(out);
    return true;
}

bool SystemTimeToFileTime(const SystemTime& fields, FileTimeCount& count) {
    SYSTEMTIME native = ToNative(fields);
    FILETIME time;
    if (!::SystemTimeToFileTime(&native, &time)) return false;
    count = (static_cast<FileTimeCount>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return true;
}

}  // namespace tessaly::platform
