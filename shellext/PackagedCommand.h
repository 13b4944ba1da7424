#pragma once
// One Tessaly entry in every menu. Windows 11 shows the Explorer command of
// a registered package in its first menu and again under "Show more
// options", beside the classic handlers; so where our package is registered
// the classic handler adds nothing, and where it is not (Windows 10, or a
// machine without the package) the classic handler is the only entry.
// docs/windows11.md gives the evidence and what a Windows 11 machine must
// confirm.

#include "shellext/PackageFamily.h"  // written by the build

namespace tessaly::shellext {

// The package's family: its name and the publisher id of its Publisher (the
// first 8 bytes of SHA-256 of the UTF-16 text, in Windows' base-32
// alphabet). The Publisher is the signing certificate's subject, or
// "CN=Quenbridge" unsigned (Quenbridge.Tessaly_kzx3p2899rv6j), so the build
// writes it (tools/package/package-family.sh); the package's check fails
// when the DLL does not hold the family its manifest gives.
constexpr const wchar_t* kPackageFamilyName = TESSALY_PACKAGE_FAMILY_NAME;

// True when the current user's menus show the packaged command: the package
// is registered for the user and the file manager has not been set back to
// the classic menu only (that setting shows no packaged command at all).
bool PackagedCommandShown();

}  // namespace tessaly::shellext
