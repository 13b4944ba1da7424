#pragma once
// Calendar fields and time counts in the layouts of the Windows API
// (SYSTEMTIME and FILETIME), used by the portable core on every platform.
#include <cstdint>

namespace tessaly {

// Calendar fields, field for field the SYSTEMTIME layout.
struct SystemTime {
    std::uint16_t Year = 0;
    std::uint16_t Month = 0;      // 1-12
    std::uint16_t DayOfWeek = 0;  // 0 = Sunday ... 6 = Saturday
    std::uint16_t Day = 0;        // 1-31
    std::uint16_t Hour = 0;
    std::uint16_t Minute = 0;
    std::uint16_t Second = 0;
    std::uint16_t Milliseconds = 0;
};

// 100-nanosecond intervals since 1 January 1601, 00:00 (the FILETIME count).
using FileTimeCount = std::uint64_t;

constexpr FileTimeCount kTicksPerMillisecond = 10'000;
constexpr FileTimeCount kTicksPerSecond = 10'000'000;

}  // namespace tessaly
