// The installer's actions for the Windows 11 package under Wine, through a
// stand-in for PowerShell (PowerShellStandIn.cpp) that records which fixed
// command each action gave it and how: before Windows 11's build nothing
// runs; from it the package is registered on every install, repair and
// update and removed, for this user and every user, with the product; the
// install folder reaches PowerShell only as data, whatever it holds, the
// removals get none, and no execution policy stops them; PowerShell is
// started by its full path, never found by a bare name; what it writes and
// how it ended reach the installer's log; a failing command fails nothing;
// and a failed install is rolled back, registration included.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

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

std::wstring Lower(std::wstring text) {
    ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// One start of PowerShell by an action.
struct Start {
    std::wstring program;  // the powershell.exe that ran
    std::wstring asked;    // the verb whose fixed command it was given, or what else it was asked
    std::wstring folder;   // the install folder in its environment
    std::wstring commandLine;
};

// PowerShell's place taken by the stand-in, which exits with exitCode; and
// copies of it where a bare "powershell.exe" would be found first (the
// current folder, the Windows folder), which must never run.
class PowerShellStandIn {
public:
    explicit PowerShellStandIn(int exitCode = 0) : m_record(TempPath(L"tessaly-powershell.txt")) {
        ::DeleteFileW(m_record.c_str());
        ::SetEnvironmentVariableW(L"TESSALY_POWERSHELL_RECORD", m_record.c_str());
        ::SetEnvironmentVariableW(L"TESSALY_POWERSHELL_EXIT", std::to_wstring(exitCode).c_str());
        ::CreateDirectoryW(L"C:\\windows\\system32\\WindowsPowerShell", nullptr);
        ::CreateDirectoryW(L"C:\\windows\\system32\\WindowsPowerShell\\v1.0", nullptr);
        wchar_t current[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, current);
        m_copies = {kPowerShell, std::wstring(current) + L"\\powershell.exe", L"C:\\windows\\powershell.exe"};
        for (const std::wstring& copy : m_copies) {
            // Wine's own powershell.exe is a hard link into the prefix
            // template (tools/wine-run.sh): writing over it would change the
            // template, so it goes first.
            ::DeleteFileW(copy.c_str());
            EXPECT_TRUE(::CopyFileW(WindowsPathOf(TESSALY_POWERSHELL_STAND_IN).c_str(), copy.c_str(), FALSE)) << copy;
        }
    }
    ~PowerShellStandIn() {
        for (const std::wstring& copy : m_copies) ::DeleteFileW(copy.c_str());
        ::DeleteFileW(m_record.c_str());
        ::SetEnvironmentVariableW(L"TESSALY_POWERSHELL_RECORD", nullptr);
        ::SetEnvironmentVariableW(L"TESSALY_POWERSHELL_EXIT", nullptr);
    }
    // The starts since the last call, each by PowerShell's full path.
    std::vector<Start> Starts() {
        std::vector<Start> starts;
        std::ifstream file(m_record.c_str());
        for (std::string line; std::getline(file, line);) {
            std::vector<std::wstring> fields;
            for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
                end = line.find('\t', start);
                fields.push_back(Widened(line.substr(start, end == std::string::npos ? end : end - start)));
            }
            fields.resize(4);
            starts.push_back({fields[0], fields[1], fields[2], fields[3]});
            EXPECT_EQ(Lower(fields[0]), Lower(kPowerShell)) << "a bare name found another powershell.exe";
        }
        file.close();
        ::DeleteFileW(m_record.c_str());
        return starts;
    }

private:
    std::wstring m_record;
    std::vector<std::wstring> m_copies;
};

// PowerShell's execution policy set by Group Policy, while it lives.
class ExecutionPolicy {
public:
    explicit ExecutionPolicy(const std::wstring& policy) {
        EXPECT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, L"ExecutionPolicy", REG_SZ, policy.c_str(),
                                    static_cast<DWORD>((policy.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    ~ExecutionPolicy() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicyKey); }
    ExecutionPolicy(const ExecutionPolicy&) = delete;
    ExecutionPolicy& operator=(const ExecutionPolicy&) = delete;

private:
    static constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Microsoft\\Windows\\PowerShell";
};

std::vector<std::wstring> Verbs(const std::vector<Start>& starts) {
    std::vector<std::wstring> verbs;
    for (const Start& start : starts) verbs.push_back(start.asked);
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
    for (const wchar_t* file :
         {L"Assets\\StoreLogo.png", L"Assets\\Square44x44Logo.png", L"Assets\\Square150x150Logo.png", L"tessaly-shell.exe"})
        EXPECT_TRUE(Exists(kInstallFolder + L"\\" + file)) << file;
    ASSERT_EQ(Uninstall(), 0u);
    EXPECT_TRUE(powerShell.Starts().empty());
    EXPECT_FALSE(Exists(kCompanyFolder));
}

// From Windows 11's first build on; what the command wrote and how it
// ended in the installer's log. An update takes away the script that
// earlier versions installed for these actions.
TEST(InstallerPackage, IsRegisteredOnEveryInstallRepairAndUpdateAndRemovedForEveryUser) {
    SetWindowsBuild(L"22000");
    PowerShellStandIn powerShell;
    {
        InstallerLog log;
        ASSERT_EQ(Install(WindowsPathOf(TESSALY_MSI), {}, &log), 0u);
        const std::vector<Start> starts = powerShell.Starts();
        ASSERT_EQ(Verbs(starts), std::vector<std::wstring>{L"register"});
        EXPECT_EQ(starts[0].folder, kInstallFolder);
        EXPECT_TRUE(log.Holds(L"Tessaly package register: stand-in register in " + kInstallFolder));
        EXPECT_TRUE(log.Holds(L"Tessaly package register: PowerShell exited with code 0"));
    }
    ASSERT_EQ(::MsiReinstallProductW(kProductCode, REINSTALLMODE_FILEMISSING | REINSTALLMODE_FILEOLDERVERSION |
                                                       REINSTALLMODE_FILEVERIFY | REINSTALLMODE_MACHINEDATA |
                                                       REINSTALLMODE_USERDATA | REINSTALLMODE_SHORTCUT),
              0u);
    EXPECT_EQ(Verbs(powerShell.Starts()), std::vector<std::wstring>{L"register"}) << "repair";
    const std::wstring oldScript = kInstallFolder + L"\\tessaly-package.ps1";
    std::ofstream(oldScript.c_str()) << "exit 0\n";
    ASSERT_EQ(Install(WindowsPathOf(TESSALY_LATER_MSI), {L"REINSTALL=ALL", L"REINSTALLMODE=vomus"}), 0u);
    EXPECT_EQ(Verbs(powerShell.Starts()), std::vector<std::wstring>{L"register"}) << "update";
    EXPECT_EQ(Bytes(kInstalledPackage), Bytes(WindowsPathOf(TESSALY_LATER_WINDOWS_PACKAGE)));
    EXPECT_FALSE(Exists(oldScript));

    InstallerLog log;
    ASSERT_EQ(Uninstall({}, &log), 0u);
    EXPECT_EQ(Verbs(powerShell.Starts()), (std::vector<std::wstring>{L"remove", L"remove-all-users"}));
    EXPECT_TRUE(log.Holds(L"Tessaly package remove-all-users: PowerShell exited with code 0"));
    EXPECT_FALSE(Exists(kCompanyFolder));
}

// What could reach PowerShell as code, one row each: the registration gets
// the folder as data only, the removals get no folder at all, and a policy
// that refuses unsigned script files stops nothing. (Wine's installer does
// not find a folder given at install time again on removal, as Windows'
// does: it is given again.)
TEST(InstallerPackage, GivesPowerShellTheFolderAsDataOnly) {
    struct Row {
        const char* what;
        std::wstring folder;
        bool allSigned;
    };
    const Row rows[] = {
        {"quotes of every kind PowerShell knows, $, backquotes and ;",
         L"C:\\Tess'aly\u2018q\u2019\u201Af\u201B$x`$(exit);y", false},
        {"Group Policy's AllSigned", kInstallFolder, true},
    };
    SetWindowsBuild(L"22000");
    PowerShellStandIn powerShell;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::optional<ExecutionPolicy> policy;
        if (row.allSigned) policy.emplace(L"AllSigned");
        std::vector<std::wstring> folder;
        if (row.folder != kInstallFolder) folder.push_back(L"INSTALLDIR=" + row.folder);
        InstallerLog log;
        ASSERT_EQ(Install(WindowsPathOf(TESSALY_MSI), folder, &log), 0u);
        ASSERT_TRUE(Exists(row.folder + L"\\Tessaly.msix"));
        std::vector<Start> starts = powerShell.Starts();
        ASSERT_EQ(Verbs(starts), std::vector<std::wstring>{L"register"});
        EXPECT_EQ(starts[0].folder, row.folder);
        EXPECT_TRUE(log.Holds(L"Tessaly package register: PowerShell exited with code 0"));
        ASSERT_EQ(Uninstall(folder), 0u);
        const std::vector<Start> removals = powerShell.Starts();
        ASSERT_EQ(Verbs(removals), (std::vector<std::wstring>{L"remove", L"remove-all-users"}));
        for (const Start& removal : removals) EXPECT_EQ(removal.folder, L"") << removal.asked;
        starts.insert(starts.end(), removals.begin(), removals.end());
        for (const Start& start : starts)
            EXPECT_EQ(start.commandLine.find(row.folder), std::wstring::npos) << start.commandLine;
        EXPECT_FALSE(Exists(row.folder));
    }
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
