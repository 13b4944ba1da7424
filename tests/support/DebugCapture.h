#pragma once
// Collects the debug lines written while it lives (from every thread).
#include <string>
#include <vector>

namespace tessaly::testing {

class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::wstring> Lines() const;
};

}  // namespace tessaly::testing
