#pragma once
// First step of a script run: the script text with every %Name% replaced and,
// in per-user mode, every "HKCR" block rewritten to run under
// HKEY_CURRENT_USER\Software\Classes. The parser reads only the result.
#include <string>

#include "platform/Win32Values.h"
#include "server/ReplacementTable.h"

namespace tessaly {

// Longest name between two percent signs.
constexpr std::size_t kMaxReplacementName = 31;

// S_OK with the expanded text, or DISP_E_EXCEPTION (a percent sign without
// its closing one, an unknown name) or E_FAIL (a name that is too long).
// Throws std::bad_alloc when memory runs out.
HResult ExpandScript(const wchar_t* text, const ReplacementTable& replacements, bool perUser,
                     std::wstring& expanded);

}  // namespace tessaly
