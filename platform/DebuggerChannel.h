#pragma once
// The debugger output channel: OutputDebugStringW on Windows, standard error
// on the host (one line per call).

namespace tessaly::platform {

// Never fails in a way the caller notices.
void OutputDebugLine(const wchar_t* line) noexcept;

}  // namespace tessaly::platform
