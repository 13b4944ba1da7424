// The rule that gives every menu one Tessaly entry and never none, over what
// a menu can know: the DLL's bitness, the host program, the Windows build,
// the clicked folder, the package, a blocked class and the classic-menu-only
// setting.
#include <gtest/gtest.h>

#include "shellext/ClassicEntryRule.h"

namespace tessaly::shellext {
namespace {

TEST(ClassicEntryRuleTest, TheClassicEntryStandsAsideOnlyWhereThePackagedOneShows) {
    constexpr const wchar_t* kExplorer = L"C:\\Windows\\explorer.exe";
    const struct Row {
        const char* menu;
        bool dll64Bit;
        const wchar_t* host;
        std::uint32_t build;
        const wchar_t* folder;
        bool package, commandBlocked, classicBlocked, classicMenuOnly;
        bool standsAside;
    } rows[] = {
        {"folder icon, Windows 11's file manager", true, kExplorer, 22621, L"C:\\Work\\Docs", true, false, false, false, true},
        {"folder background", true, kExplorer, 22621, L"C:\\Work", true, false, false, false, true},
        {"first Windows 11 build", true, kExplorer, 22000, L"C:\\Work", true, false, false, false, true},
        {"drive icon (no packaged entry)", true, kExplorer, 22621, L"C:\\", true, false, false, false, false},
        {"share (a folder)", true, kExplorer, 22621, L"\\\\server\\share", true, false, false, false, true},
        {"32-bit companion", false, L"C:\\Windows\\SysWOW64\\explorer.exe", 22621, L"C:\\Work", true, false, false, false, false},
        {"Open dialog of another program", true, L"C:\\Windows\\System32\\notepad.exe", 22621, L"C:\\Work", true, false, false, false, false},
        {"another file manager", true, L"C:\\Tools\\myexplorer.exe", 22621, L"C:\\Work", true, false, false, false, false},
        {"Windows 10 with the package", true, kExplorer, 19045, L"C:\\Work", true, false, false, false, false},
        {"Windows 11 before its release build", true, kExplorer, 21996, L"C:\\Work", true, false, false, false, false},
        {"no package", true, kExplorer, 22621, L"C:\\Work", false, false, false, false, false},
        {"packaged command blocked", true, kExplorer, 22621, L"C:\\Work", true, true, false, false, false},
        {"classic handler blocked", true, kExplorer, 22621, L"C:\\Work", true, false, true, false, false},
        {"classic menu only", true, kExplorer, 22621, L"C:\\Work", true, false, false, true, false},
    };
    for (const Row& row : rows) {
        MenuSurroundings menu;
        menu.process64Bit = row.dll64Bit;
        menu.fileManagerProcess = IsFileManagerImage(row.host);
        menu.windowsBuild = row.build;
        menu.driveRoot = IsDriveRoot(row.folder);
        menu.packageRegistered = row.package;
        menu.commandBlocked = row.commandBlocked;
        menu.classicBlocked = row.classicBlocked;
        menu.classicMenuOnly = row.classicMenuOnly;
        EXPECT_EQ(PackagedEntryShows(menu), row.standsAside) << row.menu;
    }
}

TEST(ClassicEntryRuleTest, DriveRootsAndTheFileManagerByTheirTexts) {
    for (const wchar_t* root : {L"C:\\", L"z:\\", L"\\\\?\\C:\\"}) EXPECT_TRUE(IsDriveRoot(root));
    for (const wchar_t* other : {L"C:", L"C:\\Work", L"\\\\?\\C:", L"1:\\", L"\\\\server\\share\\", L""})
        EXPECT_FALSE(IsDriveRoot(other));
    for (const wchar_t* image : {L"explorer.exe", L"D:\\Windows\\Explorer.EXE", L"/usr/explorer.exe"})
        EXPECT_TRUE(IsFileManagerImage(image));
    for (const wchar_t* image : {L"C:\\Windows\\explorer.exe.bak", L"C:\\explorer.exe\\host.exe", L"", L"xexplorer.exe"})
        EXPECT_FALSE(IsFileManagerImage(image));
}

}  // namespace
}  // namespace tessaly::shellext
