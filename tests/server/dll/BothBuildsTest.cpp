// The DLL and its 32-bit companion registered side by side, each with its
// own regsvr32, as on 64-bit Windows: each class in its own registry view,
// what both write in the keys the two views share. Registering or removing
// one keeps the other's menu; docs/registry-views.md has the facts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../RegistrationEntries.h"
#include "../SystemRegistryContents.h"
#include "ChildProcess.h"
#include "tests/support/TempFolder.h"

namespace tessaly::testing {
namespace {

std::wstring WindowsPath(std::wstring path) {
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return L"Z:" + path;
}

struct Build {
    int bits;
    std::wstring regsvr32;  // the one of the DLL's bitness
    std::wstring dll;
    std::wstring shellHost;  // tessaly-shell of the same bitness
};

const Build kBuilds[] = {
    {64, L"regsvr32.exe", WindowsPath(TESSALY_DLL_PATH), WindowsPath(TESSALY_SHELL_EXE)},
    {32, L"C:\\windows\\syswow64\\regsvr32.exe", WindowsPath(TESSALY_COMPANION_DLL_PATH),
     WindowsPath(TESSALY_COMPANION_SHELL)},
};
const Build& b64 = kBuilds[0];
const Build& b32 = kBuilds[1];

// The registry once both builds had been registered, with these still
// registered; the keys kept on removal (NoRemove) stay in both views.
Lines Expected(bool with64, bool with32) {
    Lines view64 = KeptKeys(kMachineClasses);
    if (with64 || with32) view64 = Union(view64, EntriesOfBothBuilds(kMachineClasses));
    if (with64)
        view64 = State({view64, AppIdEntries(kMachineClasses, 64), ClassEntries(kMachineClasses, b64.dll),
                        ApprovalEntry()});
    if (with32) view64 = Union(view64, AppIdEntries(kMachineClasses, 32));
    Lines view32 = KeyLines(kApprovedKey);
    if (with32) view32 = State({view32, ClassEntries(kMachineClasses, b32.dll), ApprovalEntry()});
    Lines lines = Within(view64, WatchedAreas(kMachineClasses));
    for (const std::wstring& line : Within(view32, RedirectedAreas(kMachineClasses))) lines.push_back(kView32 + line);
    return Sorted(lines);
}

unsigned Regsvr32(const Build& build, const wchar_t* options) {
    std::string output;
    return RunProgram(build.regsvr32 + L" " + options + L" \"" + build.dll + L"\"", output);
}

// A right-click on a folder's background, as a file manager of the build's
// bitness makes it (the shell's hooks, its approval list, the class): the
// Tessaly submenu, or none.
std::string MenuOf(const Build& build, const TempFolder& folder) {
    std::string output;
    const unsigned exitCode = RunProgram(
        L"\"" + build.shellHost + L"\" --texts --submenu Tessaly \"" + folder.Path() + L"\"", output);
    if (exitCode == 0 && output.find("Options...") != std::string::npos) return "menu";
    if (exitCode == 2 && output.find("Options...") == std::string::npos) return "no menu";
    return output;
}

TEST(BothBuilds, EachKeepsTheOthersMenuWhenRegisteredAndRemoved) {
    TempFolder folder;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) folder.MakeFile(name);
    struct Order {
        const Build& first;
        const Build& second;
    };
    for (const Order& order : {Order{b64, b32}, Order{b32, b64}}) {
        SCOPED_TRACE("removing the " + std::to_string(order.first.bits) + "-bit DLL first");
        ASSERT_EQ(Regsvr32(order.first, L"/s"), 0u);
        ASSERT_EQ(Regsvr32(order.second, L"/s"), 0u);
        EXPECT_EQ(ContentsOfBothViews(), Expected(true, true));
        EXPECT_EQ(MenuOf(b64, folder), "menu");
        EXPECT_EQ(MenuOf(b32, folder), "menu");

        ASSERT_EQ(Regsvr32(order.first, L"/u /s"), 0u);
        EXPECT_EQ(ContentsOfBothViews(), Expected(order.first.bits != 64, order.first.bits != 32));
        EXPECT_EQ(MenuOf(order.first, folder), "no menu");
        EXPECT_EQ(MenuOf(order.second, folder), "menu");

        ASSERT_EQ(Regsvr32(order.second, L"/u /s"), 0u);
        EXPECT_EQ(ContentsOfBothViews(), Expected(false, false));
        EXPECT_EQ(MenuOf(order.second, folder), "no menu");
    }
}

}  // namespace
}  // namespace tessaly::testing
