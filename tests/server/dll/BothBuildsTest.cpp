// The DLL and its 32-bit companion registered side by side, each with the
// regsvr32 of its bitness, as on 64-bit Windows: each class in its own
// registry view, what both write in the keys the two views share. Removing
// one keeps the other's menu (docs/registry-views.md); so does removing one
// of a build's two registrations, machine-wide and for the user.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "../RegistrationEntries.h"
#include "../SystemRegistryContents.h"
#include "tests/shellhost/HostProcess.h"
#include "tests/support/TempFolder.h"

namespace tessaly::testing {
namespace {

struct Build {
    int bits;
    const wchar_t* regsvr32;
    std::wstring dll;
    std::wstring shellHost;  // a program of the DLL's bitness
};
const Build b64{64, L"regsvr32.exe", WindowsPathOf(TESSALY_DLL), WindowsPathOf(TESSALY_SHELL_EXE)};
const Build b32{32, L"C:\\windows\\syswow64\\regsvr32.exe", WindowsPathOf(TESSALY_COMPANION_DLL),
                WindowsPathOf(TESSALY_COMPANION_SHELL)};

// Both views once both DLLs had been registered, with these still registered.
Lines Expected(bool with64, bool with32) {
    Lines view64 = KeptKeys(kMachineClasses), view32 = KeyLines(kApprovedKey);
    if (with64 || with32) view64 = Union(view64, EntriesOfBothBuilds(kMachineClasses));
    if (with64) view64 = State({view64, AppIdEntries(kMachineClasses, 64), ClassEntries(kMachineClasses, b64.dll),
                                ApprovalEntry()});
    if (with32) view64 = Union(view64, AppIdEntries(kMachineClasses, 32));
    if (with32) view32 = State({view32, ClassEntries(kMachineClasses, b32.dll), ApprovalEntry()});
    Lines lines = Within(view64, WatchedAreas(kMachineClasses));
    for (const std::wstring& line : Within(view32, RedirectedAreas(kMachineClasses))) lines.push_back(kView32 + line);
    return Sorted(lines);
}

unsigned long Regsvr32(const Build& build, std::vector<std::wstring> arguments) {
    arguments.push_back(build.dll);
    return RunProgram(build.regsvr32, arguments).exitCode;
}

// A right-click on a folder's background by a program of the build's
// bitness, found as the file manager finds it (the hooks, the approval
// list, the class): whether the Tessaly submenu came.
bool HasMenu(const Build& build, const TempFolder& folder) {
    const HostRun run = RunProgram(build.shellHost, {L"--texts", L"--submenu", L"Tessaly", folder.Path()});
    return run.exitCode == 0 && !run.lines.empty() && run.lines.back() == L"Options...";
}

// What the build's registrations in either mode can have written, in the
// build's registry view: the redirected keys of the 32-bit one in its own.
Lines BothModesWatched() { return Union(WatchedAreas(kMachineClasses), WatchedAreas(kUserClasses)); }
Lines BothModesOf(const Build& build) {
    const Lines watched = BothModesWatched();
    if (build.bits == 64) return ContentsOfSystemRegistry(watched);
    const Lines redirected = RedirectedAreas(kMachineClasses);
    Lines shared;
    for (const std::wstring& area : watched)
        if (std::find(redirected.begin(), redirected.end(), area) == redirected.end()) shared.push_back(area);
    return Union(ContentsOfSystemRegistry(shared), ContentsOfSystemRegistry(redirected, KEY_WOW64_32KEY));
}

std::vector<std::wstring> Arguments(const ModeStep& step) {
    std::vector<std::wstring> arguments = {L"/s"};
    if (!step.doRegister) arguments.push_back(L"/u");
    if (step.perUser) arguments.insert(arguments.end(), {L"/n", L"/i:user"});
    return arguments;
}

TEST(BothBuilds, EachModeOfABuildKeepsTheOthersMenuInEveryOrder) {
    TempFolder folder;
    for (const Build& build : {b64, b32}) {
        // Once registered and removed in both modes: the NoRemove keys are
        // there from then on, as on a machine where anything was ever registered.
        for (const ModeStep& step : {kMachineIn, kMachineOut, kUserIn, kUserOut})
            ASSERT_EQ(Regsvr32(build, Arguments(step)), 0u);
        const Lines before = BothModesOf(build);
        for (const ModeOrder& order : kModeOrders) {
            SCOPED_TRACE(std::to_string(build.bits) + "-bit build: " + Described(order));
            std::array<bool, 2> registered = {};  // machine, user
            for (const ModeStep& step : order) {
                ASSERT_EQ(Regsvr32(build, Arguments(step)), 0u);
                registered[step.perUser] = step.doRegister;
                EXPECT_EQ(BothModesOf(build),
                          Within(ModesState(before, registered, build.bits, build.dll), BothModesWatched()));
                if (!step.doRegister && (registered[0] || registered[1])) {
                    EXPECT_TRUE(HasMenu(build, folder)) << "the one left";
                }
            }
        }
    }
}

// A registration that fails part way takes back what it wrote, and only
// that: the hooks that the other build's registration needs too stay.
TEST(BothBuilds, AFailedRegistrationKeepsTheOtherBuildsMenu) {
    TempFolder folder;
    ASSERT_EQ(Regsvr32(b32, {L"/s"}), 0u);
    {
        // The last hook cannot be written: the class script's first block fails there.
        ReadOnlyKey lastHook(L"Software\\Classes\\Drive\\ShellEx\\ContextMenuHandlers\\TessalyShExt");
        ASSERT_TRUE(lastHook.Applied());
        EXPECT_NE(Regsvr32(b64, {L"/s"}), 0u);
    }
    EXPECT_EQ(ContentsOfBothViews(),
              Union(Expected(false, true), Within(AppIdEntries(kMachineClasses, 64), WatchedAreas(kMachineClasses))));
    EXPECT_TRUE(HasMenu(b32, folder));
    ASSERT_EQ(Regsvr32(b64, {L"/s", L"/u"}), 0u);
    ASSERT_EQ(Regsvr32(b32, {L"/s", L"/u"}), 0u);
    EXPECT_EQ(ContentsOfBothViews(), Expected(false, false));
}

TEST(BothBuilds, EachKeepsTheOthersMenuWhenRegisteredAndRemoved) {
    TempFolder folder;
    for (const auto& [first, second] : {std::pair{b64, b32}, std::pair{b32, b64}}) {
        SCOPED_TRACE("removing the " + std::to_string(first.bits) + "-bit DLL first");
        ASSERT_EQ(Regsvr32(first, {L"/s"}), 0u);
        ASSERT_EQ(Regsvr32(second, {L"/s"}), 0u);
        EXPECT_EQ(ContentsOfBothViews(), Expected(true, true));
        EXPECT_TRUE(HasMenu(b64, folder) && HasMenu(b32, folder));

        ASSERT_EQ(Regsvr32(first, {L"/s", L"/u"}), 0u);
        EXPECT_EQ(ContentsOfBothViews(), Expected(first.bits == 32, first.bits == 64));
        EXPECT_FALSE(HasMenu(first, folder));
        EXPECT_TRUE(HasMenu(second, folder));

        ASSERT_EQ(Regsvr32(second, {L"/s", L"/u"}), 0u);
        EXPECT_EQ(ContentsOfBothViews(), Expected(false, false));
        EXPECT_FALSE(HasMenu(second, folder));
    }
}

}  // namespace
}  // namespace tessaly::testing
