// The file system on the host: readdir and stat stand in for FindFirstFileW
// and CreateFileW/GetFileTime. Like the Windows calls they follow symbolic
// links, so a link to a folder counts as a folder and a dangling link is a
// file that cannot be opened. A link whose text starts with "//" stands for
// a link to another machine (the host's form of \\server\share): the scan
// takes its own times, as it does on Windows.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileSystem.h"
#include "platform/LinkTarget.h"
#include "platform/SystemErrors.h"
#include "platform/posix/CalendarMath.h"
#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/Utf8.h"

namespace tessaly::platform {

namespace {
constexpr std::uint32_t kFileAttributeNormal = 0x80;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

FileTimeCount CountFromTimespec(const timespec& time) {
    return static_cast<FileTimeCount>(time.tv_sec + kSecondsFrom1601To1970) * kTicksPerSecond +
           static_cast<FileTimeCount>(time.tv_nsec / 100);
}

std::uint32_t AttributesOfStat(const struct stat& info) {
    return S_ISDIR(info.st_mode) ? win32::kFileAttributeDirectory : kFileAttributeNormal;
}

// The conversions of a scan, which runs them for every file: into buffers
// that keep their room from file to file, with a plain copy for ASCII text
// and the general conversions of Utf8.h for everything else.
void AssignUtf8(std::wstring& wide, const char* utf8) {
    wide.clear();
    for (const char* c = utf8; *c != '\0'; ++c) {
        if (static_cast<unsigned char>(*c) >= 0x80) {
            wide = Utf8ToWide(utf8);
            return;
        }
        wide.push_back(static_cast<wchar_t>(*c));
    }
}

const std::string& PosixPathOf(const std::wstring& path) {
    thread_local std::string buffer;
    buffer.resize(path.size());
    std::uint32_t all = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<std::uint32_t>(path[i]);
        all |= c;
        buffer[i] = c == L'\\' ? '/' : static_cast<char>(c);
    }
    if (all >= 0x80) buffer = ToPosixPath(path);
    return buffer;
}

}  // namespace

struct DirectoryEnumeration::State {
    std::unique_ptr<DIR, DirCloser> dir;
    std::string folder;  // with trailing slash
    std::wstring name;
    std::uint32_t attributes = 0;
    bool isLink = false;
    bool hasEntry = false;

    bool Read() {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) {
            SetLastError(errno == 0 ? win32::kNoMoreItems : Win32ErrorFromErrno(errno));
            return false;
        }
        AssignUtf8(name, entry->d_name);
        isLink = entry->d_type == DT_LNK;
        if (entry->d_type == DT_DIR) {
            attributes = win32::kFileAttributeDirectory;
        } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            attributes = stat((folder + entry->d_name).c_str(), &info) == 0 ? AttributesOfStat(info)
                                                                             : kFileAttributeNormal;
        } else {
            attributes = kFileAttributeNormal;
        }
        return true;
    }
};

DirectoryEnumeration::DirectoryEnumeration(const std::wstring& pattern) : m_state(std::make_unique<State>()) {
    // The pattern is always "<folder prefix>*": enumerate the folder itself.
    std::wstring_view folder = pattern;
    if (!folder.empty() && folder.back() == L'*') folder.remove_suffix(1);
    m_state->folder = ToPosixPath(folder);
    m_state->dir.reset(opendir(m_state->folder.empty() ? "." : m_state->folder.c_str()));
    if (!m_state->dir) {
        SetLastError(Win32ErrorFromErrno(errno));
        return;
    }
    if (!m_state->folder.empty() && m_state->folder.back() != '/') m_state->folder.push_back('/');
    m_state->hasEntry = m_state->Read();
}

DirectoryEnumeration::~DirectoryEnumeration() = default;

bool DirectoryEnumeration::HasEntry() const { return m_state->hasEntry; }
const wchar_t* DirectoryEnumeration::Name() const { return m_state->name.c_str(); }
std::uint32_t DirectoryEnumeration::Attributes() const { return m_state->attributes; }
bool DirectoryEnumeration::IsLink() const { return m_state->isLink; }

bool DirectoryEnumeration::Next() {
    m_state->hasEntry = m_state->hasEntry && m_state->Read();
    return m_state->hasEntry;
}

namespace {
// The host has no drive letters: a link's text names a place of its own
// file system unless it starts with "//".
DriveKind NoDrive(wchar_t) { return DriveKind::NotLocal; }

bool LeadsToLocalFile(int folder, const char* name) {
    char text[4096];
    const ssize_t length = readlinkat(folder, name, text, sizeof text - 1);
    if (length < 0) return false;
    if (length < 2 || text[0] != '/' || text[1] != '/') return true;
    std::wstring target;
    for (ssize_t i = 0; i < length; ++i) target.push_back(text[i] == '/' ? L'\\' : static_cast<wchar_t>(text[i]));
    return IsLocalLinkTarget(target, false, NoDrive);
}
}  // namespace

FileTimesResult DirectoryEnumeration::ReadTimes(const std::wstring& path, bool isLink, FileTimes& times) const {
    const std::string& posixPath = PosixPathOf(path);
    // A name in the folder being enumerated is looked up in the open folder,
    // which spares the walk down the whole path for every file. It finds the
    // same file as the whole path does, unless the folder is renamed or
    // replaced during the scan; then it finds the file that was listed.
    int folderFd = AT_FDCWD;
    const char* lookup = posixPath.c_str();
    const std::string& folder = m_state->folder;
    if (m_state->dir && !folder.empty() && posixPath.size() > folder.size() &&
        posixPath.compare(0, folder.size(), folder) == 0 && posixPath.find('/', folder.size()) == std::string::npos) {
        folderFd = dirfd(m_state->dir.get());
        lookup += folder.size();
    }
    const int follow = isLink && !LeadsToLocalFile(folderFd, lookup) ? AT_SYMLINK_NOFOLLOW : 0;
    struct stat info {};
    if (fstatat(folderFd, lookup, &info, follow) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return FileTimesResult::OpenFailed;
    }
    times.LastAccess = CountFromTimespec(info.st_atim);
    times.LastWrite = CountFromTimespec(info.st_mtim);
    return FileTimesResult::Read;
}

std::uint32_t ReadFileAttributes(const std::wstring& path) {
    struct stat info {};
    if (stat(ToPosixPath(path).c_str(), &info) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return win32::kInvalidFileAttributes;
    }
    return AttributesOfStat(info);
}

}  // namespace tessaly::platform
