#pragma once
// Calendar fields for test data, written the way one reads a date.
#include <cstdint>

#include "platform/SystemTime.h"

namespace tessaly::testing {

inline SystemTime CalendarFields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                                 int ms = 0) {
    SystemTime f;
    f.Year = static_cast<std::uint16_t>(year);
    f.Month = static_cast<std::uint16_t>(month);
    f.Day = static_cast<std::uint16_t>(day);
    f.Hour = static_cast<std::uint16_t>(hour);
    f.Minute = static_cast<std::uint16_t>(minute);
    f.Second = static_cast<std::uint16_t>(second);
    f.Milliseconds = static_cast<std::uint16_t>(ms);
    return f;
}

}  // namespace tessaly::testing
