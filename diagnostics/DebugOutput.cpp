#include "diagnostics/DebugOutput.h"

#include <algorithm>
#include <atomic>

#include "diagnostics/BoundedText.h"
#include "diagnostics/ErrorText.h"
#include "platform/DebuggerChannel.h"

namespace tessaly {

namespace {
thread_local wchar_t t_debugText[kLineBufferChars];
std::atomic<diagnostics::DebugListener> g_listener{nullptr};
}  // namespace

wchar_t* DebugText() { return t_debugText; }

void WriteDebugLine(std::initializer_list<std::wstring_view> parts) noexcept {
    // A part may lie in DebugText itself (a line composed there first), so
    // the line is put together aside and copied in after every part is read.
    wchar_t composed[kLineBufferChars];
    diagnostics::BoundedText line(composed, kLineBufferChars);
    for (std::wstring_view part : parts) line.Append(part);
    std::copy_n(composed, line.size() + 1, t_debugText);
    platform::OutputDebugLine(t_debugText);
    if (auto listener = g_listener.load()) listener(t_debugText);
}

diagnostics::DebugListener diagnostics::SetDebugListener(DebugListener listener) {
    return g_listener.exchange(listener);
}

}  // namespace tessaly
