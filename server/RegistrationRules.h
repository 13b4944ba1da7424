#pragma once
// The plain rules of registration, apart from the system calls.
#include <string>

namespace tessaly {

// A module path made fit for a quoted script string: every single quote
// doubled, cut at 519 characters (a path of up to 259 characters fits whole).
std::wstring EscapeModulePath(const wchar_t* path);
constexpr std::size_t kMaxEscapedPathChars = 519;

// True for the command line that asks DllInstall for per-user registration:
// exactly "user" in any letter case (a longer or an empty line is not).
bool IsPerUserCommandLine(const wchar_t* commandLine);

}  // namespace tessaly
