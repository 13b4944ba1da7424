#pragma once
// Observes what the sheet starts. The recorder program (msiexec.exe beside
// the test program) appends one line per start to a file of the test's:
// "show=<show command> <command line>". The web address's scheme is pointed
// at the same recorder for the test's throwaway Wine prefix.
#include <string>
#include <vector>

namespace tessaly::testing {

class LaunchRecord {
public:
    LaunchRecord();  // an empty record, named to every program started from now on
    ~LaunchRecord();
    LaunchRecord(const LaunchRecord&) = delete;
    LaunchRecord& operator=(const LaunchRecord&) = delete;

    std::vector<std::wstring> Lines() const;
    // true once the record holds at least count lines (within the wait limit).
    bool WaitForLines(std::size_t count) const;

    // The recorder's path: msiexec.exe in the test program's folder.
    static std::wstring RecorderPath();
    // Makes the recorder the machine's "open" command for the scheme's addresses.
    static void HandleScheme(const std::wstring& scheme);

private:
    std::wstring m_path;
};

// Puts a copy of `source` in place of the system's installer program
// (msiexec.exe in the system folder) while it lives, and the system's own
// back afterwards. Only in a test's throwaway Wine prefix: elsewhere it
// leaves the system alone, and Replaced() says so.
class SystemInstallerStandIn {
public:
    explicit SystemInstallerStandIn(const std::wstring& source);
    ~SystemInstallerStandIn();
    SystemInstallerStandIn(const SystemInstallerStandIn&) = delete;
    SystemInstallerStandIn& operator=(const SystemInstallerStandIn&) = delete;

    bool Replaced() const { return m_replaced; }
    // GetSystemDirectoryW's folder and "\\msiexec.exe".
    static std::wstring SystemInstallerPath();

private:
    bool m_setAside = false;
    bool m_replaced = false;
};

}  // namespace tessaly::testing
