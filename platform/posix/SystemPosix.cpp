// Last error, message texts, code pages and debugger output on the host.
#include <unistd.h>

#include <cerrno>

#include "platform/DebuggerChannel.h"
#include "platform/SystemErrors.h"
#include "platform/TextCodec.h"
#include "platform/posix/ErrnoMapping.h"
#include "platform/posix/Utf8.h"

namespace tessaly::platform {

namespace {
thread_local Win32Error t_lastError = 0;

struct MessageEntry {
    Win32Error code;
    const wchar_t* text;
};
// The English system texts of the codes that the host layer produces, as
// Windows words them, so that lines read the same on both platforms.
const MessageEntry kMessages[] = {
    {win32::kSuccess, L"The operation completed successfully.\r\n"},
    {win32::kFileNotFound, L"The system cannot find the file specified.\r\n"},
    {win32::kPathNotFound, L"The system cannot find the path specified.\r\n"},
    {win32::kAccessDenied, L"Access is denied.\r\n"},
    {win32::kInvalidHandle, L"The handle is invalid.\r\n"},
    {win32::kNotEnoughMemory, L"Not enough memory resources are available to process this command.\r\n"},
    {win32::kInvalidData, L"The data is invalid.\r\n"},
    {win32::kSharingViolation,
     L"The process cannot access the file because it is being used by another process.\r\n"},
    {win32::kInvalidParameter, L"The parameter is incorrect.\r\n"},
    {win32::kInsufficientBuffer, L"The data area passed to a system call is too small.\r\n"},
    {win32::kInvalidName, L"The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {win32::kDirNotEmpty, L"The directory is not empty.\r\n"},
    {win32::kFilenameTooLong, L"The filename or extension is too long.\r\n"},
    {win32::kMoreData, L"More data is available.\r\n"},
    {win32::kNoMoreItems, L"No more data is available.\r\n"},
};
}  // namespace

Win32Error LastError() { return t_lastError; }
void SetLastError(Win32Error code) { t_lastError = code; }

std::wstring SystemMessageText(Win32Error code) {
    // Like FormatMessage, an HRESULT that wraps a Win32 code reads as that code.
    if ((code & 0xFFFF0000u) == 0x80070000u) code &= 0xFFFFu;
    for (const MessageEntry& entry : kMessages)
        if (entry.code == code) return entry.text;
    return {};
}

Win32Error Win32ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT: return win32::kFileNotFound;
        case ENOTDIR: return win32::kPathNotFound;
        case EACCES:
        case EPERM: return win32::kAccessDenied;
        case ENOMEM: return win32::kNotEnoughMemory;
        case EBUSY: return win32::kSharingViolation;
        case ENAMETOOLONG: return win32::kFilenameTooLong;
        case ELOOP:
        case EINVAL: return win32::kInvalidName;
        default: return win32::kInvalidParameter;
    }
}

// The host's 8-bit code page is UTF-8, for the system and every thread.
std::wstring NarrowToWide(std::string_view text, CodePage) { return Utf8ToWide(text); }
std::string WideToNarrow(std::wstring_view text, CodePage) { return WideToUtf8(text); }

void OutputDebugLine(const wchar_t* line) noexcept {
    // One write per line, so lines of several threads never interleave.
    std::string bytes;
    try {
        bytes = WideToUtf8(line);
        bytes.push_back('\n');
    } catch (...) {
        return;
    }
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(STDERR_FILENO, data, left);
        if (written <= 0) {
            if (written < 0 && errno == EINTR) continue;
            return;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
}

}  // namespace tessaly::platform
