// The installer's actions for the Windows 11 package under Wine, through a
// stand-in for PowerShell (PowerShellStandIn.cpp, under an AllSigned
// policy) that records which fixed command each action gave it and how:
// before Windows 11's build nothing runs; from it the package is
// registered on every install, repair and update and removed, for this
// user and every user, with the product; PowerShell is started by its
// full path, never found by a bare name; a folder holding what PowerShell
// would read as code reaches it only as data; what the command writes and
// how it ended reach the installer's log; a failing command fails nothing;
// and a failed install is rolled back, registration included.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "InstallerSteps.h"
#include "TempFolder.h"

namespace tessaly::testing {
namespace {

const wchar_t kPowerShell[] = L"C:\\windows\\system32\\WindowsPowerShell\\v1.0\\powershell.exe";

std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

std::wstring Widened(const std::string& utf8) {
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                              static_cast<int>(text.size()))));
    return text;
}

// One start of PowerShell by an action.
struct Start {
    std::wstring program;  // the powershell.exe that ran
    std::wstring verb;     // whose fixed command it was given, or what else
    std::wstring folder;   // the install folder in its environment
    std::wstring commandLine;
};

// PowerShell's place taken by the stand-in, which exits with exitCode; and
// copies of it where a bare name would find one first (the current folder,
// the Windows folder), which must never run.
class PowerShellStandIn {
public:
    explicit PowerShellStandIn(int exitCode = 0) : m_record(TempPath(L"tessaly-powershell.txt")) {
        ::DeleteFileW(m_record.c_str());
        ::SetEnvironmentVariableW(L"TESSALY_POWERSHELL_RECORD", m_record.c_str());
        ::SetEnvironmentVariableW(L"TESSALY_POWERSHELL_EXIT", std::to_wstring(exitCode).c_str());
        ::CreateDirectoryW(L"C:\\windows\\system32\\WindowsPowerShell", nullptr);
        ::CreateDirectoryW(L"C:\\windows\\system32\\WindowsPowerShell\\v1.0", nullptr);
        // A current folder of this prefix's own, which msiexec inherits.
        ::GetCurrentDirectoryW(MAX_PATH, m_saved);
        ::CreateDirectoryW(m_current.c_str(), nullptr);
        ::SetCurrentDirectoryW(m_current.c_str());
        m_copies = {kPowerShell, m_current + L"\\powershell.exe", L"C:\\windows\\powershell.exe"};
        for (const std::wstring& copy : m_copies) {
            // Wine's own powershell.exe is a hard link into the prefix
            // template (tools/wine-run.sh): writing over it would change the
            // template, so it goes first.
            ::DeleteFileW(copy.c_str());
            EXPECT_TRUE(::CopyFileW(WindowsPathOf(TESSALY_POWERSHELL_STAND_IN).c_str(), copy.c_str(), FALSE));
        }
    }
    ~PowerShellStandIn() {
        for (const std::wstring& copy : m_copies) ::DeleteFileW(copy.c_str());
        ::SetCurrentDirectoryW(m_saved);
        ::RemoveDirectoryW(m_current.c_str());
        ::DeleteFileW(m_record.c_str());
        ::SetEnvironmentVariableW(L"TESSALY_POWERSHELL_RECORD", nullptr);
        ::SetEnvironmentVariableW(L"TESSALY_POWERSHELL_EXIT", nullptr);
    }
    // The starts since the last call, each of PowerShell's full path.
    std::vector<Start> Starts() {
        std::vector<Start> starts;
        std::ifstream file(m_record.c_str());
        for (std::string line; std::getline(file, line);) {
            std::istringstream fields(line);
            std::string field[4];
            for (std::string& text : field) std::getline(fields, text, '\t');
            starts.push_back({Widened(field[0]), Widened(field[1]), Widened(field[2]), Widened(field[3])});
            EXPECT_EQ(::_wcsicmp(starts.back().program.c_str(), kPowerShell), 0) << starts.back().program;
        }
        file.close();
        ::DeleteFileW(m_record.c_str());
        return starts;
    }

private:
    std::wstring m_record, m_current = TempPath(L"tessaly-current");
    wchar_t m_saved[MAX_PATH] = {};
    std::vector<std::wstring> m_copies;
};

std::vector<std::wstring> Verbs(const std::vector<Start>& starts) {
    std::vector<std::wstring> verbs;
    for (const Start& start : starts) verbs.push_back(start.verb);
    return verbs;
}

// The installer's log of one msiexec run, read as 8-bit text as Wine writes it.
class InstallerLog {
public:
    InstallerLog() : m_path(TempPath(L"tessaly-install.log")) { ::DeleteFileW(m_path.c_str()); }
    ~InstallerLog() { ::DeleteFileW(m_path.c_str()); }
    std::vector<std::wstring> Arguments() const { return {L"/l*v", m_path}; }
    bool Holds(const std::wstring& text) const { return Widened(Bytes(m_path)).find(text) != std::wstring::npos; }

private:
    std::wstring m_path;
};

unsigned long Install(const std::wstring& msi, std::vector<std::wstring> arguments = {},
                      const InstallerLog* log = nullptr) {
    arguments.insert(arguments.begin(), {L"/i", msi, L"/qn"});
    if (log != nullptr)
        for (const std::wstring& argument : log->Arguments()) arguments.push_back(argument);
    return Msiexec(arguments);
}

unsigned long Uninstall(std::vector<std::wstring> arguments = {}, const InstallerLog* log = nullptr) {
    arguments.insert(arguments.begin(), {L"/x", kProductCode, L"/qn"});
    if (log != nullptr)
        for (const std::wstring& argument : log->Arguments()) arguments.push_back(argument);
    return Msiexec(arguments);
}

// A copy of the product's package that fails on purpose, when TESSALYFAIL
// is set, in the installation script once the registration ran, so that
// the installer rolls back what it did.
std::wstring FailingCopy() {
    const std::wstring copy = TempPath(L"tessaly-failing.msi");
    EXPECT_TRUE(::CopyFileW(WindowsPathOf(TESSALY_MSI).c_str(), copy.c_str(), FALSE));
    MSIHANDLE database = 0;
    EXPECT_EQ(::MsiOpenDatabaseW(copy.c_str(), MSIDBOPEN_TRANSACT, &database), 0u);
    for (const wchar_t* query :
         {L"INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) "
          L"VALUES ('TessalyFails', 1058, 'SystemFolder', '\"[SystemFolder]cmd.exe\" /c exit 1')",
          L"INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) "
          L"VALUES ('TessalyFails', 'TESSALYFAIL AND NOT REMOVE~=\"ALL\"', 4090)"}) {
        MSIHANDLE view = 0;
        EXPECT_EQ(::MsiDatabaseOpenViewW(database, query, &view), 0u) << query;
        EXPECT_EQ(::MsiViewExecute(view, 0), 0u) << query;
        ::MsiCloseHandle(view);
    }
    EXPECT_EQ(::MsiDatabaseCommit(database), 0u);
    ::MsiCloseHandle(database);
    return copy;
}

// Windows 10's build (Wine's own is older still) leaves the package alone:
// it is installed beside the DLL with its logos and the program it names,
// but never registered.
TEST(InstallerPackage, IsLeftAloneBeforeWindows11) {
    SetWindowsBuild(L"19045");
    PowerShellStandIn powerShell;
    ASSERT_EQ(Install(WindowsPathOf(TESSALY_MSI)), 0u);
    EXPECT_EQ(Bytes(kInstalledPackage), Bytes(WindowsPathOf(TESSALY_WINDOWS_PACKAGE)));
    for (const wchar_t* file : {L"Assets\\StoreLogo.png", L"Assets\\Square44x44Logo.png",
                                L"Assets\\Square150x150Logo.png", L"tessaly-shell.exe"})
        EXPECT_TRUE(Exists(kInstallFolder + L"\\" + file)) << file;
    ASSERT_EQ(Uninstall(), 0u);
    EXPECT_TRUE(powerShell.Starts().empty());
    EXPECT_FALSE(Exists(kCompanyFolder));
}

// From Windows 11's first build on; what the command wrote and how it
// ended in the installer's log. An update takes away the script earlier
// builds installed for these actions.
TEST(InstallerPackage, IsRegisteredOnEveryInstallRepairAndUpdateAndRemovedForEveryUser) {
    SetWindowsBuild(L"22000");
    PowerShellStandIn powerShell;
    const std::wstring script = kInstallFolder + L"\\tessaly-package.ps1";  // earlier builds'
    {
        InstallerLog log;
        ASSERT_EQ(Install(WindowsPathOf(TESSALY_MSI), {}, &log), 0u);
        const std::vector<Start> starts = powerShell.Starts();
        ASSERT_EQ(Verbs(starts), std::vector<std::wstring>{L"register"});
        EXPECT_TRUE(log.Holds(L"Tessaly package register: stand-in register in " + kInstallFolder));
        EXPECT_TRUE(log.Holds(L"Tessaly package register: PowerShell exited with code 0"));
    }
    ASSERT_EQ(::MsiReinstallProductW(kProductCode, REINSTALLMODE_FILEMISSING | REINSTALLMODE_FILEOLDERVERSION |
                                                       REINSTALLMODE_FILEVERIFY | REINSTALLMODE_MACHINEDATA |
                                                       REINSTALLMODE_USERDATA | REINSTALLMODE_SHORTCUT),
              0u);
    EXPECT_EQ(Verbs(powerShell.Starts()), std::vector<std::wstring>{L"register"}) << "repair";
    std::ofstream(script.c_str()) << "exit 0\n";
    ASSERT_EQ(Install(WindowsPathOf(TESSALY_LATER_MSI), {L"REINSTALL=ALL", L"REINSTALLMODE=vomus"}), 0u);
    EXPECT_EQ(Verbs(powerShell.Starts()), std::vector<std::wstring>{L"register"}) << "update";
    EXPECT_EQ(Bytes(kInstalledPackage), Bytes(WindowsPathOf(TESSALY_LATER_WINDOWS_PACKAGE)));
    EXPECT_FALSE(Exists(script));

    InstallerLog log;
    ASSERT_EQ(Uninstall({}, &log), 0u);
    EXPECT_EQ(Verbs(powerShell.Starts()), (std::vector<std::wstring>{L"remove", L"remove-all-users"}));
    EXPECT_TRUE(log.Holds(L"Tessaly package remove-all-users: PowerShell exited with code 0"));
    EXPECT_FALSE(Exists(kCompanyFolder));
}

// Quotes of every kind PowerShell knows, $, a backquote and ; in the
// folder: the registration gets it exactly, as data (no command line holds
// it), the removals no folder at all. (Wine's installer does not find a
// folder given at install time again on removal, as Windows' does: it is
// given again.)
TEST(InstallerPackage, IsRegisteredFromAFolderHoldingCodeAsData) {
    SetWindowsBuild(L"22000");
    PowerShellStandIn powerShell;
    const std::wstring folder = L"C:\\Tessaly's\u2018q\u2019\u201Af\u201B$x`$(exit);y";
    ASSERT_EQ(Install(WindowsPathOf(TESSALY_MSI), {L"INSTALLDIR=" + folder}), 0u);
    ASSERT_TRUE(Exists(folder + L"\\Tessaly.msix"));
    std::vector<Start> starts = powerShell.Starts();
    ASSERT_EQ(Verbs(starts), std::vector<std::wstring>{L"register"});
    EXPECT_EQ(starts[0].folder, folder);
    ASSERT_EQ(Uninstall({L"INSTALLDIR=" + folder}), 0u);
    const std::vector<Start> removals = powerShell.Starts();
    ASSERT_EQ(Verbs(removals), (std::vector<std::wstring>{L"remove", L"remove-all-users"}));
    starts.insert(starts.end(), removals.begin(), removals.end());
    for (const Start& start : starts) EXPECT_EQ(start.commandLine.find(folder), std::wstring::npos) << start.verb;
    for (const Start& removal : removals) EXPECT_EQ(removal.folder, L"") << removal.verb;
    EXPECT_FALSE(Exists(folder));
}

// A command that fails is logged and changes nothing else: the install and
// the removal succeed, the classic menu works. A failed install removes the
// registration it made. (Wine's installer rolls back no removal, neither
// its files nor its actions: the removal's own rollback is read from the
// tables, tests/installer/package-actions-test.sh.)
TEST(InstallerPackage, FailsNothingWhenItFailsAndIsRolledBackWithTheInstall) {
    SetWindowsBuild(L"22000");
    PowerShellStandIn powerShell(1);
    const std::wstring failing = FailingCopy();
    {
        InstallerLog log;
        ASSERT_EQ(Install(failing, {}, &log), 0u);
        EXPECT_EQ(Verbs(powerShell.Starts()), std::vector<std::wstring>{L"register"});
        EXPECT_TRUE(log.Holds(L"Tessaly package register: register failed: the stand-in fails with 1"));
        EXPECT_TRUE(log.Holds(L"Tessaly package register: PowerShell exited with code 1"));
        TempFolder folder;
        EXPECT_EQ(ShellHost({folder.Path()}).exitCode, 0u);
    }
    ASSERT_EQ(Uninstall(), 0u);
    EXPECT_EQ(Verbs(powerShell.Starts()), (std::vector<std::wstring>{L"remove", L"remove-all-users"}));

    EXPECT_NE(Install(failing, {L"TESSALYFAIL=1"}), 0u);
    EXPECT_EQ(Verbs(powerShell.Starts()), (std::vector<std::wstring>{L"register", L"remove"}));
    EXPECT_FALSE(Exists(kCompanyFolder));
    ::DeleteFileW(failing.c_str());
}

}  // namespace
}  // namespace tessaly::testing
