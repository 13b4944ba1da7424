#pragma once
// Debug lines: one line per failure, each beginning "Tessaly: ", composed in
// this thread's DebugText buffer and written to the debugger output.
#include <initializer_list>
#include <string_view>

namespace tessaly {

// This thread's line buffer (kLineBufferChars wide characters).
wchar_t* DebugText();

// Composes the parts one after the other into DebugText (cut at 1023
// characters) and writes the line. The parts are copied as they are: none of
// them is ever read as a format. A part may point into DebugText itself (or
// into ErrorText), so a line composed there first can be written.
void WriteDebugLine(std::initializer_list<std::wstring_view> parts) noexcept;

namespace diagnostics {
// Receives every debug line as it is written, besides the debugger output;
// tests install one to read the lines back. Returns the previous listener.
using DebugListener = void (*)(const wchar_t* line);
DebugListener SetDebugListener(DebugListener listener);
}  // namespace diagnostics

}  // namespace tessaly
