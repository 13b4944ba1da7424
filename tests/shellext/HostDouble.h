#pragma once
// Stands in for what the one-entry rule asks of Windows that Wine cannot be:
// a registered package, a Windows 11 build, the file manager's process.
// Until a test says otherwise: no package, Windows 10, the test program.
#include <cstdint>

namespace tessaly::testing {

struct HostFacts {
    bool packageRegistered = false;
    std::uint32_t windowsBuild = 19045;
    bool fileManagerProcess = false;
};

void SetHostFacts(const HostFacts& facts);

// Windows 11's file manager with our package registered.
inline HostFacts Windows11FileManagerWithPackage() { return {true, 22621, true}; }

}  // namespace tessaly::testing
