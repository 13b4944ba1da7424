#pragma once
// What the handler may ask about the program it runs in.
#include <cstdint>
#include <string>

namespace tessaly::platform {

// The running Windows' build number as the kernel reports it (RtlGetVersion),
// not as GetVersionExW answers a program by its manifest; 0 when it cannot
// be asked.
std::uint32_t WindowsBuildNumber() noexcept;

// The full path of the host program's file; empty when it cannot be read.
std::wstring ProcessImagePath();

}  // namespace tessaly::platform
