#pragma once
// One Tessaly entry in every menu. Windows 11 shows the Explorer command of
// a registered package in its first menu and again under "Show more
// options", beside the classic handlers; so where our package is registered
// the classic handler adds nothing, and where it is not (Windows 10, or a
// machine without the package) the classic handler is the only entry.
// docs/windows11.md gives the evidence and what a Windows 11 machine must
// confirm.

namespace tessaly::shellext {

// The package's family: its name and the publisher id of its publisher,
// "CN=Quenbridge" (the first 8 bytes of SHA-256 of the UTF-16 text, in
// Windows' base-32 alphabet).
constexpr const wchar_t* kPackageFamilyName = L"Quenbridge.Tessaly_kzx3p2899rv6j";

// True when the current user's menus show the packaged command: the package
// is registered for the user and the file manager has not been set back to
// the classic menu only (that setting shows no packaged command at all).
bool PackagedCommandShown();

}  // namespace tessaly::shellext
