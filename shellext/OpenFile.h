#pragma once
// Opening a listed file, as both menus do it: the shell's default action for
// its type.
#include <string>

namespace tessaly::shellext {

// ShellExecuteExW of the path; a failure throws std::runtime_error carrying
// "::ShellExecuteEx failed" with the system's words for the reason.
void OpenFile(const std::wstring& path);

// The help text of the classic menu's items, and the Explorer command's tooltip.
constexpr const wchar_t* kHelpText = L"View recently accessed/modified files in a folder";

}  // namespace tessaly::shellext
