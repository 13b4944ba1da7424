// The Uninstall button when the installer cannot be started: the system's
// msiexec.exe is no program here, so the start fails for real.
#include <fstream>
#include <string>

#include "diagnostics/ErrorText.h"
#include "platform/win/ShellExecuteError.h"
#include "resources/ResourceIds.h"
#include "tests/options/LaunchRecord.h"
#include "tests/options/SheetFixture.h"
#include "tests/support/DebugCapture.h"
#include "tests/support/TempFolder.h"

namespace tessaly::testing {
namespace {

constexpr int kUninstallPage = 2;

using FailedLaunchTest = SheetTest;

// A box the system raised on the sheet's thread about the failed start: the
// test answers it as a user would.
BOOL CALLBACK AnswerErrorBox(HWND window, LPARAM sheet) {
    if (window == reinterpret_cast<HWND>(sheet) || !::IsWindowVisible(window)) return TRUE;
    ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

TEST_F(FailedLaunchTest, WritesOneDebugLineAndStillClosesTheSheet) {
    TempFolder folder;
    std::ofstream(folder.PathOf(L"text.exe").c_str()) << "not a program\n";
    SystemInstallerStandIn installer(folder.PathOf(L"text.exe"));
    ASSERT_TRUE(installer.Replaced());
    Store(setting::kFileCount, 10);
    DebugCapture capture;
    RunOptionsSheet([](HWND sheet) {
        SheetUser user(sheet);
        user.MoveSlider(IDC_FILE_COUNT_SLIDER, 5);
        user.ShowPage(kUninstallPage);
        // Posted: the click does not return while the system's error box is up.
        ::PostMessageW(user.Control(IDC_UNINSTALL), BM_CLICK, 0, 0);
        const DWORD sheetThread = ::GetWindowThreadProcessId(sheet, nullptr);
        EXPECT_TRUE(WaitUntil([&] {
            ::EnumThreadWindows(sheetThread, AnswerErrorBox, reinterpret_cast<LPARAM>(sheet));
            return !user.Open();
        })) << "the sheet did not close";
    });
    const std::vector<std::wstring> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1u);
    const std::wstring prefix = L"Tessaly: OptionsPage_Uninstall::OnBnClickedButtonUninstall/ShellExecuteEx failed";
    // The shell's own message box clears the last error; the line still
    // names the reason: a file that is no program.
    EXPECT_EQ(lines[0], FormatSystemError(prefix.c_str(), ERROR_BAD_FORMAT));
    std::printf("%ls\n", lines[0].c_str());
    EXPECT_EQ(Stored(setting::kFileCount), 10) << "not applied";
}

// When the shell has cleared the last error, the code it leaves in hInstApp
// gives the reason: every one of them.
TEST_F(FailedLaunchTest, EveryCodeTheShellLeavesHasItsReason) {
    struct Case {
        DWORD lastError;
        INT_PTR instApp;
        DWORD reason;
    };
    const Case cases[] = {
        {ERROR_ACCESS_DENIED, SE_ERR_NOASSOC, ERROR_ACCESS_DENIED}, {0, 0, ERROR_NOT_ENOUGH_MEMORY},
        {0, SE_ERR_SHARE, ERROR_SHARING_VIOLATION},                 {0, SE_ERR_ASSOCINCOMPLETE, ERROR_NO_ASSOCIATION},
        {0, SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},                  {0, SE_ERR_DDETIMEOUT, ERROR_DDE_FAIL},
        {0, SE_ERR_DDEFAIL, ERROR_DDE_FAIL},                        {0, SE_ERR_DDEBUSY, ERROR_DDE_FAIL},
        {0, SE_ERR_DLLNOTFOUND, ERROR_DLL_NOT_FOUND},               {0, SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        {0, ERROR_BAD_FORMAT, ERROR_BAD_FORMAT},
    };
    for (const Case& c : cases) {
        SHELLEXECUTEINFOW execute = {};
        execute.hInstApp = reinterpret_cast<HINSTANCE>(c.instApp);
        ::SetLastError(c.lastError);
        EXPECT_EQ(platform::ShellExecuteError(execute), c.reason) << "hInstApp " << c.instApp;
    }
}

}  // namespace
}  // namespace tessaly::testing
