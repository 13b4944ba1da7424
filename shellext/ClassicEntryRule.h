#pragma once
// Which of Tessaly's two entries a menu gets. Windows 11's file manager
// lists a registered package's Explorer command in its first menu and again
// under "Show more options", beside the classic handlers; so the classic
// handler adds nothing where, and only where, that packaged entry is known
// to show. Wherever it may be missing (other programs' menus, the 32-bit
// companion, drives, a blocked class, the classic-menu-only setting,
// Windows 10) the classic entry shows: two Tessaly entries are better than
// none. docs/windows11.md gives the evidence for each condition.
#include <cstdint>
#include <string_view>

namespace tessaly::shellext {

// Windows 11's first build, the first with the new context menu.
constexpr std::uint32_t kFirstWindows11Build = 22000;

// What is known about the menu being built.
struct MenuSurroundings {
    // This code runs in a 64-bit process. The file manager of 64-bit Windows
    // is one; a 32-bit program's menu gets the 32-bit companion.
    bool process64Bit = false;
    // The file manager's own process (explorer.exe). Open and Save dialogs
    // and other programs that show shell menus are not known to list
    // packaged commands.
    bool fileManagerProcess = false;
    std::uint32_t windowsBuild = 0;
    // The folder is a drive's root: the package declares folders and folder
    // backgrounds only, so the first menu has no packaged entry for a drive.
    bool driveRoot = false;
    bool packageRegistered = false;  // for the current user
    // Either class listed under Shell Extensions\Blocked (HKLM or HKCU).
    bool commandBlocked = false;
    bool classicBlocked = false;
    // The file manager set back to the classic menu only: no packaged
    // commands are shown there at all.
    bool classicMenuOnly = false;
};

// True when the menu already holds the packaged entry, so the classic
// handler adds nothing.
bool PackagedEntryShows(const MenuSurroundings& menu) noexcept;

// "X:\" or "\\?\X:\": a drive's root, as a drop list or an item list names it.
bool IsDriveRoot(std::wstring_view path) noexcept;

// Whether a process image is the file manager's (explorer.exe, in any case,
// in any folder).
bool IsFileManagerImage(std::wstring_view imagePath) noexcept;

}  // namespace tessaly::shellext
