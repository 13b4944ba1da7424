#include "tests/support/DebugCapture.h"

#include <mutex>

#include "diagnostics/DebugOutput.h"

namespace tessaly::testing {

namespace {
std::mutex g_mutex;
std::vector<std::wstring> g_lines;

void Collect(const wchar_t* line) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lines.emplace_back(line);
}
}  // namespace

DebugCapture::DebugCapture() {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_lines.clear();
    }
    diagnostics::SetDebugListener(Collect);
}

DebugCapture::~DebugCapture() { diagnostics::SetDebugListener(nullptr); }

std::vector<std::wstring> DebugCapture::Lines() const {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_lines;
}

}  // namespace tessaly::testing
