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

struct FileTimes {
    FileTimeCount LastAccess = 0;
    FileTimeCount LastWrite = 0;
};

enum class FileTimesResult {
    Read,        // times valid
    OpenFailed,  // the thread's last error tells why
    ReadFailed,  // opened, but the times could not be read
};

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
    // True when the entry is a file link (a symbolic link) rather than a file.
    bool IsLink() const;
    bool Next();

    // Opens a file of this folder (path: the folder prefix followed by its
    // name) for attribute reading only (share read and write, no delete
    // sharing) and reads its last-access and last-write times (UTC). A link
    // gives its target's times where the target is on a local drive
    // (platform/LinkTarget.h), else its own. Several threads may read at once
    // while the enumeration lives; on Windows it neither allocates nor
    // throws, on the host it may throw std::bad_alloc.
    FileTimesResult ReadTimes(const std::wstring& path, bool isLink, FileTimes& times) const;

    struct State;

private:
    std::unique_ptr<State> m_state;
};

// The attribute bits of a path, or kInvalidFileAttributes.
std::uint32_t ReadFileAttributes(const std::wstring& path);

}  // namespace tessaly::platform
