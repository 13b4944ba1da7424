#pragma once
// Directory enumeration and file times: what the folder scan needs from the
// file system. Paths use the backslash as separator on every platform; the
// host implementation maps it to the POSIX slash.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/SystemTime.h"
#include "platform/Win32Values.h"

namespace tessaly::platform {

// Walks one folder's entries (FindFirstFileW / FindNextFileW / FindClose on
// Windows). The enumeration is closed when the object goes.
class DirectoryEnumeration {
public:
    // pattern: the folder prefix followed by "*".
    explicit DirectoryEnumeration(const std::wstring& pattern);
    ~DirectoryEnumeration();
    DirectoryEnumeration(const DirectoryEnumeration&) = delete;
    DirectoryEnumeration& operator=(const DirectoryEnumeration&) = delete;

    // True while the object stands on an entry. False when the enumeration
    // could not start, or after Next() found no further entry.
    bool HasEntry() const;
    const wchar_t* Name() const;
    std::uint32_t Attributes() const;  // Windows attribute bits
    bool Next();

    struct State;

private:
    std::unique_ptr<State> m_state;
};

struct FileTimes {
    FileTimeCount LastAccess = 0;
    FileTimeCount LastWrite = 0;
};

enum class FileTimesResult {
    Read,        // times valid
    OpenFailed,  // the thread's last error tells why
    ReadFailed,  // opened, but the times could not be read
};

// Opens the file for attribute reading only (share read and write, no
// delete sharing) and reads its last-access and last-write times (UTC).
FileTimesResult ReadFileTimes(const std::wstring& path, FileTimes& times);

// The attribute bits of a path, or kInvalidFileAttributes.
std::uint32_t ReadFileAttributes(const std::wstring& path);

}  // namespace tessaly::platform
