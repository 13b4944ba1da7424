// Alone in its file: the Windows tests of the handler link a stand-in of
// their own in its place, as no package can be registered under Wine.
#include <windows.h>

#include <cstdint>

#include "platform/win/PackageQuery.h"

namespace tessaly::platform {

bool PackageFamilyRegistered(const wchar_t* familyName) noexcept {
    using Lookup = LONG(WINAPI*)(PCWSTR, std::uint32_t*, PWSTR*, std::uint32_t*, WCHAR*);
    static const Lookup lookup = [] {
        const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        if (kernel == nullptr) return Lookup{};
        return reinterpret_cast<Lookup>(
            reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "GetPackagesByPackageFamily")));
    }();
    if (lookup == nullptr) return false;
    // Asked for the count only: ERROR_INSUFFICIENT_BUFFER when there are
    // packages to list, ERROR_SUCCESS with a count of 0 when there are none.
    std::uint32_t count = 0;
    std::uint32_t length = 0;
    const LONG result = lookup(familyName, &count, nullptr, &length, nullptr);
    return (result == ERROR_INSUFFICIENT_BUFFER || result == ERROR_SUCCESS) && count > 0;
}

}  // namespace tessaly::platform
