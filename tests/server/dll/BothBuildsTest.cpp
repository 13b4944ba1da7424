// The DLL and its 32-bit companion registered side by side, each with the
// regsvr32 of its bitness, as on 64-bit Windows: each class in its own
// registry view, what both write in the keys the two views share. Removing
// one keeps the other's menu (docs/registry-views.md).
#include <gtest/gtest.h>

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
