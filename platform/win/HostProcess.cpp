// Alone in its file: the Windows tests of the handler link a stand-in of
// their own in its place, to be the file manager on Windows 11.
#include <windows.h>

#include "platform/win/HostProcess.h"

namespace tessaly::platform {

std::uint32_t WindowsBuildNumber() noexcept {
    // Documented for drivers and exported by ntdll ever since; looked up, as
    // the import library does not offer it.
    using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto get = ntdll == nullptr ? nullptr
                                      : reinterpret_cast<GetVersion>(reinterpret_cast<void (*)()>(
                                            ::GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (get == nullptr || get(&version) != 0) return 0;
    return version.dwBuildNumber;
}

std::wstring ProcessImagePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace tessaly::platform
