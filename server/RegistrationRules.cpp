#include "server/RegistrationRules.h"

namespace tessaly {

std::wstring EscapeModulePath(const wchar_t* path) {
    std::wstring escaped;
    for (; path != nullptr && *path != L'\0'; ++path) {
        const std::size_t room = *path == L'\'' ? 2 : 1;
        if (escaped.size() + room > kMaxEscapedPathChars) break;
        escaped.append(room, *path);
    }
    return escaped;
}

bool IsPerUserCommandLine(const wchar_t* commandLine) {
    if (commandLine == nullptr) return false;
    static const wchar_t kUser[] = L"user";
    // Five characters with the terminator: "user" and nothing after it.
    for (int i = 0; i < 5; ++i) {
        wchar_t c = commandLine[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != kUser[i]) return false;
    }
    return true;
}

}  // namespace tessaly
