#pragma once
// Opening a listed file, as both menus do it: the shell's default action for
// its type.
#include <windows.h>

#include <string>

namespace tessaly::shellext {

// ShellExecuteExW of the path, with `owner` (may be null) owning any window
// the shell shows about it; the program started may take the foreground
// where this process may. A failure throws std::runtime_error carrying
// "::ShellExecuteEx failed" with the system's words for the reason.
void OpenFile(const std::wstring& path, HWND owner = nullptr);

// The help text of the classic menu's items, and the Explorer command's tooltip.
constexpr const wchar_t* kHelpText = L"View recently accessed/modified files in a folder";

}  // namespace tessaly::shellext
