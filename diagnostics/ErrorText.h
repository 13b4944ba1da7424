#pragma once
// Texts for failures: system error codes and exception messages.
#include <cstddef>
#include <string>

#include "platform/Win32Values.h"

namespace tessaly {

// Size of each per-thread line buffer (DebugText and ErrorText), terminator included.
constexpr std::size_t kLineBufferChars = 1024;

// Stands for the calling thread's last error.
constexpr Win32Error kLastErrorCode = 0xFFFFFFFFu;

// "<prefix> <system text> (0x<code>)" in this thread's ErrorText buffer. The
// system text is used exactly as the system returns it (normally ending in
// CR LF); it is empty when the system has none. The next call on the same
// thread overwrites the text; its prefix may be that earlier text.
const wchar_t* FormatSystemError(const wchar_t* prefix, Win32Error code);

// An exception message as wide text (system ANSI code page), cut to 259 characters.
std::wstring WidenMessage(const char* message);
constexpr std::size_t kMaxMessageChars = 259;

}  // namespace tessaly
