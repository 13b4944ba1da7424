#include <windows.h>

#include <stdexcept>

#include "platform/win/HandleOwners.h"
#include "tests/support/TempFolder.h"

namespace tessaly::testing {

static void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    const platform::FindHandle find(FindFirstFileW((path + L"\\*").c_str(), &data));
    if (find.valid()) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(child);
            else if (!DeleteFileW(child.c_str()))
                RemoveDirectoryW(child.c_str());
        } while (FindNextFileW(find.get(), &data));
    }
    RemoveDirectoryW(path.c_str());
}

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::wstring candidate = std::wstring(base) + L"tessaly-test-" + std::to_wstring(GetCurrentProcessId()) +
                                 L"-" + std::to_wstring(InterlockedIncrement(&counter));
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

std::wstring TempFolder::PathOf(const std::wstring& name) const { return m_path + L"\\" + name; }

void TempFolder::MakeFile(const std::wstring& name) {
    const platform::FileHandle file(
        CreateFileW(PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file.valid()) throw std::runtime_error("cannot create a test file");
}

void TempFolder::MakeFolder(const std::wstring& name) {
    if (!CreateDirectoryW(PathOf(name).c_str(), nullptr)) throw std::runtime_error("cannot create a test folder");
}

void TempFolder::SetTimes(const std::wstring& name, FileTimeCount lastAccess, FileTimeCount lastWrite) {
    const platform::FileHandle file(CreateFileW(PathOf(name).c_str(), FILE_WRITE_ATTRIBUTES,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) throw std::runtime_error("cannot open a test file for its times");
    const FILETIME access{static_cast<DWORD>(lastAccess), static_cast<DWORD>(lastAccess >> 32)};
    const FILETIME write{static_cast<DWORD>(lastWrite), static_cast<DWORD>(lastWrite >> 32)};
    if (!SetFileTime(file.get(), nullptr, &access, &write)) throw std::runtime_error("cannot set a test file's times");
}

void TempFolder::MakeUnopenableFile(const std::wstring& name) {
    const std::wstring raw = L"\\\\?\\" + PathOf(name);
    const platform::FileHandle file(::CreateFileW(raw.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file.valid()) throw std::runtime_error("cannot create an unopenable test file");
}

void TempFolder::MakeLink(const std::wstring& name, const std::wstring& target) {
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) {
        if (!::CreateSymbolicLinkW(PathOf(name).c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
            throw std::runtime_error("cannot create a link");
        return;
    }
    // Wine starts a Linux program as it starts its own, in this folder; it
    // gives back no process to wait for, so the link is waited for.
    std::wstring commandLine = L"ln -s \"" + target + L"\" \"" + name + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(L"Z:\\bin\\ln", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, m_path.c_str(),
                          &startup, &process))
        throw std::runtime_error("cannot start ln");
    if (process.hProcess != nullptr) ::CloseHandle(process.hProcess);
    if (process.hThread != nullptr) ::CloseHandle(process.hThread);
    for (int wait = 0; wait < 300; ++wait) {
        if (::GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES) return;
        ::Sleep(10);
    }
    throw std::runtime_error("ln made no link");
}

void TempFolder::MakeHiddenSystem(const std::wstring& name) {
    if (!SetFileAttributesW(PathOf(name).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        throw std::runtime_error("cannot set attributes");
}

FileTimeCount UtcCount(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    SYSTEMTIME fields{static_cast<WORD>(year),   static_cast<WORD>(month),  0,
                      static_cast<WORD>(day),    static_cast<WORD>(hour),   static_cast<WORD>(minute),
                      static_cast<WORD>(second), static_cast<WORD>(millisecond)};
    FILETIME count;
    if (!SystemTimeToFileTime(&fields, &count)) throw std::runtime_error("invalid test time");
    return (static_cast<FileTimeCount>(count.dwHighDateTime) << 32) | count.dwLowDateTime;
}

}  // namespace tessaly::testing
