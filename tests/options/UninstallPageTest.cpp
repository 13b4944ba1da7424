// The Uninstall page in the real sheet: the button starts the system's
// installer program, msiexec, with the product's removal and closes the
// sheet as Cancel does.
#include <string>

#include "resources/ResourceIds.h"
#include "tests/options/LaunchRecord.h"
#include "tests/options/SheetFixture.h"
#include "tests/support/TempFolder.h"

namespace tessaly::testing {
namespace {

constexpr int kUninstallPage = 2;

using UninstallPageTest = SheetTest;

// The program part of a command line, without its quotes.
std::wstring ProgramOf(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine[0] == L'"') return commandLine.substr(1, commandLine.find(L'"', 1) - 1);
    return commandLine.substr(0, commandLine.find(L' '));
}

// The current folder, changed while it lives.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder) : m_saved(MAX_PATH, L'\0') {
        m_saved.resize(::GetCurrentDirectoryW(MAX_PATH, m_saved.data()));
        ::SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolder() { ::SetCurrentDirectoryW(m_saved.c_str()); }

private:
    std::wstring m_saved;
};

// The system's own installer is a recorder here; so are the programs named
// msiexec.exe in the current folder and beside this program, which a search
// for the bare name would find first: only the system's may start.
TEST_F(UninstallPageTest, StartsTheSystemsInstallerByItsFullPathAndClosesWithoutWritingUnappliedChanges) {
    Store(setting::kFileCount, 10);
    Store(setting::kHighlightDays, 3);
    LaunchRecord record;
    SystemInstallerStandIn installer(LaunchRecord::RecorderPath());
    ASSERT_TRUE(installer.Replaced());
    TempFolder planted;
    ASSERT_TRUE(::CopyFileW(LaunchRecord::RecorderPath().c_str(), planted.PathOf(L"msiexec.exe").c_str(), TRUE));
    CurrentFolder current(planted.Path());
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
    EXPECT_EQ(::lstrcmpiW(ProgramOf(commandLine).c_str(), SystemInstallerStandIn::SystemInstallerPath().c_str()), 0)
        << commandLine;
    const std::wstring parameters = L" /x {DC530510-9407-45A9-9EFB-D4D0DF0B1E3A}";
    ASSERT_GE(commandLine.size(), parameters.size());
    EXPECT_EQ(commandLine.substr(commandLine.size() - parameters.size()), parameters);

    EXPECT_EQ(Stored(setting::kHighlightDays), 5) << "applied before";
    EXPECT_EQ(Stored(setting::kFileCount), 10) << "not applied";
}

}  // namespace
}  // namespace tessaly::testing
