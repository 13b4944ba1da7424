// Stands in for a program that the shell starts (the installer "msiexec", a
// web address's handler): appends one line to the file named by
// TESSALY_LAUNCH_RECORD with how it was shown and its whole command line,
// then exits. Built as msiexec.exe beside the test program, where the shell
// finds it before the system's own.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TESSALY_LAUNCH_RECORD", path, MAX_PATH) == 0) return 2;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
    const std::wstring line = L"show=" + std::to_wstring(show) + L" " + ::GetCommandLineW() + L"\n";

    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    FILE* record = ::_wfopen(path, L"ab");
    if (record == nullptr) return 3;
    std::fputs(utf8.c_str(), record);
    std::fclose(record);
    return 0;
}
