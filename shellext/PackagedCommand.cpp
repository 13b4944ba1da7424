#include "shellext/PackagedCommand.h"

#include "platform/registry/SystemRegistry.h"
#include "platform/win/HostProcess.h"
#include "platform/win/PackageQuery.h"
#include "shellext/PackageFamily.h"  // written by the build

namespace tessaly::shellext {

namespace {

// The package's family: its name and the publisher id of its Publisher (the
// first 8 bytes of SHA-256 of the UTF-16 text, in Windows' base-32
// alphabet). The Publisher is the signing certificate's subject, or an
// unsigned package's (Quenbridge.Tessaly_ae0s97gfwsztp), so the build writes
// it (tools/package/package-family.sh); the package's check fails when the
// DLL does not hold the family its manifest gives.
constexpr const wchar_t* kPackageFamilyName = TESSALY_PACKAGE_FAMILY_NAME;

// A user setting, not documented but widely used, that gives Windows 11 the
// classic menu as its only menu: an empty in-process server for the class of
// the new menu. Packaged commands do not show there.
constexpr const wchar_t* kClassicMenuOnlyKey =
    L"Software\\Classes\\CLSID\\{86ca1aa0-34aa-4e8b-a509-50c905bae2a2}\\InprocServer32";

// Where users list a shell extension's class to keep the file manager from
// loading it (a value named by the class id).
constexpr const wchar_t* kBlockedKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Blocked";
constexpr const wchar_t* kCommandClass = L"{31947C44-8420-40FE-B315-A367ABAE0D74}";
constexpr const wchar_t* kClassicClass = L"{B922807E-EF82-4915-A30C-4C892F724740}";

// The 64-bit view, which the file manager of 64-bit Windows reads: a 32-bit
// program's own view of the user's classes is another key.
constexpr std::uint32_t kReadIn64BitView = registry::access::kQueryValue | registry::access::kView64;

bool KeyExists(registry::KeyId root, const wchar_t* path) {
    registry::Key key;
    return registry::OpenKey(registry::SystemRegistry(), root, path, kReadIn64BitView, key) == win32::kSuccess;
}

bool Blocked(const wchar_t* classId) {
    for (const registry::KeyId root : {registry::kLocalMachine, registry::kCurrentUser}) {
        registry::Key key;
        if (registry::OpenKey(registry::SystemRegistry(), root, kBlockedKey, kReadIn64BitView, key) != win32::kSuccess)
            continue;
        std::uint32_t size = 0;
        const Win32Error found = registry::SystemRegistry().QueryValue(key.id(), classId, nullptr, nullptr, size);
        if (found == win32::kSuccess || found == win32::kMoreData) return true;
    }
    return false;
}

// What costs nothing to learn: the process and the folder.
MenuSurroundings HostSurroundings(const std::wstring& folder) {
    MenuSurroundings menu;
    menu.process64Bit = sizeof(void*) == 8;
    menu.windowsBuild = platform::WindowsBuildNumber();
    menu.fileManagerProcess = IsFileManagerImage(platform::ProcessImagePath());
    menu.driveRoot = IsDriveRoot(folder);
    return menu;
}

// What the package store and the registry say.
void AddRegistrations(MenuSurroundings& menu) {
    menu.packageRegistered = platform::PackageFamilyRegistered(kPackageFamilyName);
    menu.commandBlocked = Blocked(kCommandClass);
    menu.classicBlocked = Blocked(kClassicClass);
    menu.classicMenuOnly = KeyExists(registry::kCurrentUser, kClassicMenuOnlyKey);
}

}  // namespace

MenuSurroundings ReadMenuSurroundings(const std::wstring& folder) {
    MenuSurroundings menu = HostSurroundings(folder);
    AddRegistrations(menu);
    return menu;
}

bool ClassicEntryStandsAside(const std::wstring& folder) {
    MenuSurroundings menu = HostSurroundings(folder);
    // The package store and the registry are asked only where their answer
    // can matter: every menu of every other program comes here too.
    MenuSurroundings atBest = menu;
    atBest.packageRegistered = true;
    if (!PackagedEntryShows(atBest)) return false;
    AddRegistrations(menu);
    return PackagedEntryShows(menu);
}

}  // namespace tessaly::shellext
