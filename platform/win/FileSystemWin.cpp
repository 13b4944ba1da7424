#include <windows.h>
#include <winioctl.h>

#include <cstring>

#include "platform/FileSystem.h"
#include "platform/LinkTarget.h"
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
bool DirectoryEnumeration::IsLink() const {
    // The enumeration gives a reparse point's tag in dwReserved0.
    return (m_state->data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           m_state->data.dwReserved0 == IO_REPARSE_TAG_SYMLINK;
}

bool DirectoryEnumeration::Next() {
    // Any failure, the normal end included, ends the enumeration.
    m_state->hasEntry = m_state->hasEntry && ::FindNextFileW(m_state->handle.get(), &m_state->data) != FALSE;
    return m_state->hasEntry;
}

static FileTimeCount ToCount(const FILETIME& time) {
    return (static_cast<FileTimeCount>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

namespace {

constexpr DWORD kAttributeOpen = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

FileHandle OpenForAttributes(const std::wstring& path, DWORD flags) {
    return FileHandle(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, flags, nullptr));
}

DriveKind KindOfDrive(wchar_t letter) {
    const wchar_t root[] = {letter, L':', L'\\', 0};
    switch (::GetDriveTypeW(root)) {
        case DRIVE_FIXED:
        case DRIVE_REMOVABLE:
        case DRIVE_CDROM:
        case DRIVE_RAMDISK: return DriveKind::Local;
        default: return DriveKind::NotLocal;  // network, no such drive, unknown
    }
}

// A symbolic link opened as itself: does its target lie on a local drive?
// Read from the link's reparse point, the target as the file system keeps
// it. A link whose target cannot be read is not opened through either.
bool LeadsToLocalFile(HANDLE link) {
    // REPARSE_DATA_BUFFER for a symbolic link: tag, length, reserved, then
    // the substitute name's offset and length, the print name's, the flags
    // and the names, offsets and lengths in bytes from the names' start.
    alignas(8) BYTE buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
    DWORD got = 0;
    if (!::DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer, &got, nullptr))
        return false;
    constexpr DWORD kNames = 20;
    if (got < kNames) return false;
    ULONG tag = 0, flags = 0;
    USHORT offset = 0, length = 0;
    std::memcpy(&tag, buffer, sizeof tag);
    std::memcpy(&offset, buffer + 8, sizeof offset);
    std::memcpy(&length, buffer + 10, sizeof length);
    std::memcpy(&flags, buffer + 16, sizeof flags);
    if (tag != IO_REPARSE_TAG_SYMLINK || kNames + offset + length > got || length % 2 != 0) return false;
    const std::wstring_view target(reinterpret_cast<const wchar_t*>(buffer + kNames + offset), length / 2);
    constexpr ULONG kRelative = 1;  // SYMLINK_FLAG_RELATIVE
    return IsLocalLinkTarget(target, (flags & kRelative) != 0, KindOfDrive);
}

FileTimesResult ReadTimesOf(HANDLE file, FileTimes& times) {
    FILETIME access{}, write{};
    if (!::GetFileTime(file, nullptr, &access, &write)) return FileTimesResult::ReadFailed;
    times.LastAccess = ToCount(access);
    times.LastWrite = ToCount(write);
    return FileTimesResult::Read;
}

}  // namespace

FileTimesResult DirectoryEnumeration::ReadTimes(const std::wstring& path, bool isLink, FileTimes& times) const {
    // What answers an open may be a named pipe's server, or a remote file's:
    // it may identify the caller, never act as it (the host may be an
    // elevated program's file dialog). A link is first opened as itself; it
    // is followed only to a local drive, so that no right-click logs on to
    // another machine or waits for one that does not answer.
    if (isLink) {
        const FileHandle link = OpenForAttributes(path, kAttributeOpen | FILE_FLAG_OPEN_REPARSE_POINT);
        if (!link.valid()) return FileTimesResult::OpenFailed;
        if (!LeadsToLocalFile(link.get())) return ReadTimesOf(link.get(), times);
    }
    const FileHandle file = OpenForAttributes(path, kAttributeOpen);
    if (!file.valid()) return FileTimesResult::OpenFailed;
    return ReadTimesOf(file.get(), times);
}

std::uint32_t ReadFileAttributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

}  // namespace tessaly::platform
