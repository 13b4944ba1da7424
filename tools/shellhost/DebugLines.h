#pragma once
// The debugger output lines that handlers write while it lives (from any
// thread), so that the tool can print a handler's own reason for a failure.
// Only where no debugger is attached: a debugger sees the lines first.
#include <string>
#include <vector>

namespace tessaly::shellhost {

class DebugLines {
public:
    DebugLines();
    ~DebugLines();
    DebugLines(const DebugLines&) = delete;
    DebugLines& operator=(const DebugLines&) = delete;

    // The lines written since the last call, each on one line.
    std::vector<std::wstring> Take();

private:
    void* m_handler;
};

}  // namespace tessaly::shellhost
