#include "platform/LinkTarget.h"

namespace tessaly::platform {

namespace {

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool StartsWithNoCase(std::wstring_view text, std::wstring_view start) {
    if (text.size() < start.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i)
        if (Upper(text[i]) != Upper(start[i])) return false;
    return true;
}

// "X:" alone or followed by a backslash.
bool IsDrivePath(std::wstring_view path) {
    return path.size() >= 2 && Upper(path[0]) >= L'A' && Upper(path[0]) <= L'Z' && path[1] == L':' &&
           (path.size() == 2 || path[2] == L'\\');
}

}  // namespace

bool IsLocalLinkTarget(std::wstring_view target, bool relative, DriveKindOf driveKind) {
    if (relative) return true;
    // The object-manager and Win32 device prefixes: \??\, \\?\ and \\.\.
    const bool prefixed = target.size() >= 4 && target[0] == L'\\' && (target[1] == L'?' || target[1] == L'\\') &&
                          (target[2] == L'?' || target[2] == L'.') && target[3] == L'\\' &&
                          !(target[1] == L'?' && target[2] == L'.');
    const std::wstring_view rest = prefixed ? target.substr(4) : target;
    if (IsDrivePath(rest)) return driveKind(Upper(rest[0])) == DriveKind::Local;
    return prefixed && StartsWithNoCase(rest, L"Volume{");
}

}  // namespace tessaly::platform
