#pragma once
// Counts the lines that reach the debugger output by any way while it lives:
// through WriteDebugLine (its listener) and straight through the platform
// (on Windows the exception that OutputDebugStringW raises, on the host the
// standard error stream the platform writes to).
#include <memory>

#include "tests/support/DebugCapture.h"

namespace tessaly::testing {

class DebugOutputProbe {
public:
    DebugOutputProbe();
    ~DebugOutputProbe();
    DebugOutputProbe(const DebugOutputProbe&) = delete;
    DebugOutputProbe& operator=(const DebugOutputProbe&) = delete;

    // Ends the watch and tells how many lines were seen; call once.
    std::size_t Finish();

private:
    DebugCapture m_capture;
    struct PlatformWatch;
    std::unique_ptr<PlatformWatch> m_watch;
};

}  // namespace tessaly::testing
