#include "shellext/PackagedCommand.h"

#include "platform/registry/SystemRegistry.h"
#include "platform/win/PackageQuery.h"

namespace tessaly::shellext {

namespace {

// A user setting, not documented but widely used, that gives Windows 11 the
// classic menu as its only menu: an empty in-process server for the class of
// the new menu. Packaged commands do not show there.
constexpr const wchar_t* kClassicMenuOnlyKey =
    L"Software\\Classes\\CLSID\\{86ca1aa0-34aa-4e8b-a509-50c905bae2a2}\\InprocServer32";

bool ClassicMenuOnly() {
    registry::Registry& system = registry::SystemRegistry();
    registry::Key key;
    return registry::OpenKey(system, registry::kCurrentUser, kClassicMenuOnlyKey, registry::access::kQueryValue,
                             key) == win32::kSuccess;
}

}  // namespace

bool PackagedCommandShown() {
    return platform::PackageFamilyRegistered(kPackageFamilyName) && !ClassicMenuOnly();
}

}  // namespace tessaly::shellext
