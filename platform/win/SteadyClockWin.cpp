// Alone in its file: the fault-injection build of the DLL links a clock of
// its own in its place, by which every open looks slow, so that every scan
// opens in parallel and each of that path's failure points is tried.
#include <windows.h>

#include "platform/Threads.h"

namespace tessaly::platform {

std::uint64_t SteadyMicroseconds() noexcept {
    static const std::uint64_t perSecond = [] {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<std::uint64_t>(frequency.QuadPart);
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    const auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
    return ticks / perSecond * 1'000'000 + ticks % perSecond * 1'000'000 / perSecond;
}

}  // namespace tessaly::platform
