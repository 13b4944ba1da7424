// The scan benchmark's system needs on Windows (and under Wine).
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <stdexcept>

#include "bench/scan/BenchSystem.h"
#include "platform/win/HandleOwners.h"

namespace tessaly::bench {

namespace {
FILETIME ToFileTime(FileTimeCount count) {
    return FILETIME{static_cast<DWORD>(count), static_cast<DWORD>(count >> 32)};
}

std::wstring Quoted(const std::wstring& argument) {
    // Enough for the benchmark's own arguments: paths without quotes.
    return L"\"" + argument + L"\"";
}
}  // namespace

std::wstring MakeTemporaryFolder(const std::wstring& base) {
    std::wstring parent = base;
    if (parent.empty()) {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
        parent.assign(temp, length);
    }
    if (!parent.empty() && parent.back() == L'\\') parent.pop_back();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring folder = parent + L"\\tessaly-bench-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(GetTickCount64() + static_cast<ULONGLONG>(attempt));
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    }
    throw std::runtime_error("cannot make the benchmark folder");
}

std::wstring MakeFolder(const std::wstring& parent, const std::wstring& name) {
    const std::wstring folder = parent + L"\\" + name;
    if (!CreateDirectoryW(folder.c_str(), nullptr)) throw std::runtime_error("cannot make a size folder");
    return folder;
}

void MakeFile(const std::wstring& folder, const std::wstring& name, FileTimeCount lastAccess,
              FileTimeCount lastWrite) {
    const platform::FileHandle file(
        CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    if (!file.valid()) throw std::runtime_error("cannot make a file");
    const FILETIME access = ToFileTime(lastAccess), write = ToFileTime(lastWrite);
    if (!SetFileTime(file.get(), nullptr, &access, &write)) throw std::runtime_error("cannot set a file's times");
}

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    const platform::FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find.valid()) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + data.cFileName).c_str());
        } while (FindNextFileW(find.get(), &data));
    }
    RemoveDirectoryW(folder.c_str());
}

std::uint64_t PeakMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
}

std::wstring SelfPath() {
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, 32768);
    if (length == 0 || length >= 32768) throw std::runtime_error("cannot find the program's path");
    return std::wstring(path, length);
}

ProcessRun RunProcess(const std::vector<std::wstring>& arguments, bool captureOutput) {
    ProcessRun run;
    std::wstring commandLine;
    for (const std::wstring& argument : arguments) commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(argument);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (captureOutput) {
        if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    } else {
        writeEnd = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    const BOOL created =
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    if (writeEnd != nullptr && writeEnd != INVALID_HANDLE_VALUE) CloseHandle(writeEnd);
    if (!created) {
        if (readEnd != nullptr) CloseHandle(readEnd);
        return run;
    }
    if (captureOutput) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
        CloseHandle(readEnd);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.ok = exitCode == 0;
    run.status = exitCode;
    return run;
}

double LocalTimeWithZoneFetchedOnce(std::size_t count) {
    const auto start = std::chrono::steady_clock::now();
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t base = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    std::uint64_t sink = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t count100ns = base - i * 864'000'000'000ull / 7;
        const FILETIME time{static_cast<DWORD>(count100ns), static_cast<DWORD>(count100ns >> 32)};
        SYSTEMTIME utc, local;
        FileTimeToSystemTime(&time, &utc);
        SystemTimeToTzSpecificLocalTime(&zone, &utc, &local);
        sink += local.wHour;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return sink == 1 ? 0 : seconds * 1e6 / static_cast<double>(count);
}

Reference ReferenceKind() { return Reference{"FindFirstFileW/FindNextFileW", "enumeration", false}; }

ProcessRun RunReference(const std::wstring& folder) {
    // The enumeration alone, which yields the times too, without opening a
    // file.
    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    std::uint64_t entries = 0, newest = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            ++entries;
            const std::uint64_t access =
                (static_cast<std::uint64_t>(data.ftLastAccessTime.dwHighDateTime) << 32) |
                data.ftLastAccessTime.dwLowDateTime;
            if (access > newest) newest = access;
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.ok = entries > 0 && newest > 0;
    return run;
}

ProcessRun RunOpenFloor(const std::wstring& folder) {
    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    const std::wstring prefix = folder + L"\\";
    std::uint64_t files = 0, newest = 0;
    WIN32_FIND_DATAW data;
    const platform::FindHandle find(FindFirstFileW((prefix + L"*").c_str(), &data));
    if (find.valid()) {
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            // The scan's own open: attributes only, the same sharing.
            const platform::FileHandle file(CreateFileW((prefix + data.cFileName).c_str(), FILE_READ_ATTRIBUTES,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                        0, nullptr));
            FILETIME access{}, write{};
            if (!file.valid() || !GetFileTime(file.get(), nullptr, &access, &write)) continue;
            ++files;
            const std::uint64_t count = (static_cast<std::uint64_t>(access.dwHighDateTime) << 32) | access.dwLowDateTime;
            if (count > newest) newest = count;
        } while (FindNextFileW(find.get(), &data));
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.ok = files > 0 && newest > 0;
    return run;
}

std::string ReferenceDescription() {
    return "reference: a bare FindFirstFileW/FindNextFileW enumeration in the same process (the times without "
           "opening the files); floor: the enumeration plus the open, GetFileTime and CloseHandle of each file";
}

}  // namespace tessaly::bench
