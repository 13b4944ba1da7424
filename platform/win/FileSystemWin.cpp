#include <windows.h>

#include "platform/FileSystem.h"
#include "platform/win/HandleOwners.h"

namespace tessaly::platform {

struct DirectoryEnumeration::State {
    FindHandle handle;
    WIN32_FIND_DATAW data{};
    bool hasEntry = false;
};

DirectoryEnumeration::DirectoryEnumeration(const std::wstring& pattern) : m_state(std::make_unique<State>()) {
    m_state->handle.reset(::FindFirstFileW(pattern.c_str(), &m_state->data));
    m_state->hasEntry = m_state->handle.valid();
}

DirectoryEnumeration::~DirectoryEnumeration() = default;

bool DirectoryEnumeration::HasEntry() const { return m_state->hasEntry; }
const wchar_t* DirectoryEnumeration::Name() const { return m_state->data.cFileName; }
std::uint32_t DirectoryEnumeration::Attributes() const { return m_state->data.dwFileAttributes; }

bool DirectoryEnumeration::Next() {
    // Any failure, the normal end included, ends the enumeration.
    m_state->hasEntry = m_state->hasEntry && ::FindNextFileW(m_state->handle.get(), &m_state->data) != FALSE;
    return m_state->hasEntry;
}

static FileTimeCount ToCount(const FILETIME& time) {
    return (static_cast<FileTimeCount>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FileTimesResult ReadFileTimes(const std::wstring& path, FileTimes& times) {
    // Every file of the folder is opened before the user chooses anything,
    // through any link the folder holds: a link to a remote path is followed
    // as far as the system's link evaluation allows (local to remote, on by
    // default; fsutil behavior SymlinkEvaluation). What answers such an open
    // may be a named pipe's server, or a remote file's: it may identify the
    // caller, never act as it (the host may be an elevated program's file
    // dialog).
    FileHandle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    if (!file.valid()) return FileTimesResult::OpenFailed;
    FILETIME access{}, write{};
    if (!::GetFileTime(file.get(), nullptr, &access, &write)) return FileTimesResult::ReadFailed;
    times.LastAccess = ToCount(access);
    times.LastWrite = ToCount(write);
    return FileTimesResult::Read;
}

std::uint32_t ReadFileAttributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

}  // namespace tessaly::platform
