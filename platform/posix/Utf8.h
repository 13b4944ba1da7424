#pragma once
// UTF-8 <-> wide text for the host, where wide text is UTF-32 and the
// "ANSI" code page of the system is UTF-8.
#include <string>
#include <string_view>

namespace tessaly::platform {

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);  // invalid bytes become U+FFFD

// A Windows-style path (backslash separators) as a POSIX path in UTF-8.
std::string ToPosixPath(std::wstring_view path);

}  // namespace tessaly::platform
