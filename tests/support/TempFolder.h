#pragma once
// A fresh folder for one test, removed with everything in it afterwards,
// and the file operations the tests need to prepare it.
#include <string>

#include "platform/SystemTime.h"

namespace tessaly::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path in the platform's own form, without a trailing separator.
    const std::wstring& Path() const { return m_path; }
    std::wstring PathOf(const std::wstring& name) const;

    void MakeFile(const std::wstring& name);
    void MakeFolder(const std::wstring& name);
    // Sets a file's last-access and last-write times (UTC counts).
    void SetTimes(const std::wstring& name, FileTimeCount lastAccess, FileTimeCount lastWrite);
    // An entry that the folder lists but that cannot be opened. On POSIX a
    // symbolic link to nothing; on Windows a file whose name ends in a dot,
    // made through a \\?\ path, which ordinary paths cannot reach (they drop
    // the trailing dot). The name must end in a dot.
    void MakeUnopenableFile(const std::wstring& name);
    // A symbolic link to another entry of the folder. Under Wine, whose
    // CreateSymbolicLinkW makes nothing, a link of the Linux file system
    // (which Wine follows as Windows follows one of NTFS), made by ln.
    void MakeLink(const std::wstring& name, const std::wstring& target);
    // Gives the file the hidden and system attributes (Windows only; no-op elsewhere).
    void MakeHiddenSystem(const std::wstring& name);

private:
    std::wstring m_path;
};

// A UTC count from calendar fields (for test data).
FileTimeCount UtcCount(int year, int month, int day, int hour, int minute, int second = 0, int millisecond = 0);

}  // namespace tessaly::testing
