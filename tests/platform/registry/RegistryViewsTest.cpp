// Which keys 64-bit Windows shares between its two registry views, as the
// platform's table of keys affected by WOW64 gives them (Windows 7 and later).
#include "platform/registry/RegistryViews.h"

#include <gtest/gtest.h>

namespace tessaly::registry {
namespace {

TEST(RegistryViews, SharedAndRedirectedKeysAsDocumented) {
    struct Row {
        KeyId root;
        const wchar_t* path;
        bool shared;
    };
    const Row rows[] = {
        {kClassesRoot, L"CLSID\\{B922807E-EF82-4915-A30C-4C892F724740}\\InprocServer32", false},
        {kClassesRoot, L"AppID\\{733D43C3-335E-4248-9DA6-6223F64E3028}", true},
        {kClassesRoot, L"Directory\\Background\\ShellEx\\ContextMenuHandlers\\TessalyShExt", true},
        {kClassesRoot, L"CLSIDX", true},  // only begins like a redirected key
        {kLocalMachine, L"Software\\Classes\\Media Type\\X", false},
        {kLocalMachine, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", false},
        {kLocalMachine, L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe", true},
        {kLocalMachine, L"Software\\Policies\\X", true},
        {kCurrentUser, L"Software\\Classes\\CLSID\\{X}", false},
        {kCurrentUser, L"Software\\Quenbridge\\Tessaly", true},
        {kUsers, L"S-1-5-21-7_Classes\\CLSID\\{X}", false},
        {kUsers, L"S-1-5-21-7\\Software\\Classes\\Directory", true},
    };
    for (const Row& row : rows) EXPECT_EQ(IsSharedBetweenViews(row.root, row.path), row.shared) << row.path;
}

}  // namespace
}  // namespace tessaly::registry
