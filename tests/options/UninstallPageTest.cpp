// The Uninstall page in the real sheet: the button starts the installer
// program named msiexec with the product's removal and closes the sheet as
// Cancel does.
#include <string>

#include "resources/ResourceIds.h"
#include "tests/options/LaunchRecord.h"
#include "tests/options/SheetFixture.h"

namespace tessaly::testing {
namespace {

constexpr int kUninstallPage = 2;

using UninstallPageTest = SheetTest;

// The program part of a command line, without quotes or folder.
std::wstring ProgramName(const std::wstring& commandLine) {
    std::wstring program;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        program = commandLine.substr(1, commandLine.find(L'"', 1) - 1);
    } else {
        program = commandLine.substr(0, commandLine.find(L' '));
    }
    program = program.substr(program.find_last_of(L"\\/") + 1);
    for (wchar_t& c : program) c = static_cast<wchar_t>(::towlower(c));
    return program;
}

TEST_F(UninstallPageTest, StartsTheInstallersRemovalAndClosesWithoutWritingUnappliedChanges) {
    Store(setting::kFileCount, 10);
    Store(setting::kHighlightDays, 3);
    LaunchRecord record;
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        user.MoveSlider(IDC_HIGHLIGHT_DAYS_SLIDER, 5);
        user.PressApply();
        user.MoveSlider(IDC_FILE_COUNT_SLIDER, 5);
        user.ShowPage(kUninstallPage);
        user.Click(IDC_UNINSTALL);
        EXPECT_TRUE(WaitUntil([&] { return !user.Open(); })) << "the sheet did not close";
    });
    ASSERT_TRUE(record.WaitForLines(1)) << "no program was started";
    const std::vector<std::wstring> lines = record.Lines();
    ASSERT_EQ(lines.size(), 1u);
    const std::wstring prefix = L"show=1 ";
    ASSERT_EQ(lines[0].compare(0, prefix.size(), prefix), 0) << lines[0];
    const std::wstring commandLine = lines[0].substr(prefix.size());
    EXPECT_TRUE(ProgramName(commandLine) == L"msiexec" || ProgramName(commandLine) == L"msiexec.exe") << commandLine;
    const std::wstring parameters = L" /x {DC530510-9407-45A9-9EFB-D4D0DF0B1E3A}";
    ASSERT_GE(commandLine.size(), parameters.size());
    EXPECT_EQ(commandLine.substr(commandLine.size() - parameters.size()), parameters);

    EXPECT_EQ(Stored(setting::kHighlightDays), 5) << "applied before";
    EXPECT_EQ(Stored(setting::kFileCount), 10) << "not applied";
}

}  // namespace
}  // namespace tessaly::testing
