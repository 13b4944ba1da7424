#include "diagnostics/DebugOutput.h"

#include <atomic>

#include "diagnostics/BoundedText.h"
#include "diagnostics/ErrorText.h"
#include "platform/DebugOutput.h"

namespace tessaly {

namespace {
thread_local wchar_t t_debugText[kLineBufferChars];
std::atomic<diagnostics::DebugListener> g_listener{nullptr};
}  // namespace

wchar_t* DebugText() { return t_debugText; }

void WriteDebugLine(std::initializer_list<std::wstring_view> parts) noexcept {
    diagnostics::BoundedText line(t_debugText, kLineBufferChars);
    for (std::wstring_view part : parts) line.Append(part);
    platform::OutputDebugLine(t_debugText);
    if (auto listener = g_listener.load()) listener(t_debugText);
}

diagnostics::DebugListener diagnostics::SetDebugListener(DebugListener listener) {
    return g_listener.exchange(listener);
}

}  // namespace tessaly
