#include "tests/support/ScaleChild.h"

#include <string>

#include "tests/support/ProcessStart.h"

namespace tessaly::testing {

namespace {

void SetLogPixels(DWORD dpi) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

}  // namespace

int RunSelfAtScale(DWORD dpi, const wchar_t* test, const wchar_t* variable, const wchar_t* value) {
    SetLogPixels(dpi);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + self + L"\" --gtest_filter=" + test;
    ::SetEnvironmentVariableW(variable, value);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const bool started = StartProcess(command.data(), false, startup, process);
    ::SetEnvironmentVariableW(variable, nullptr);
    DWORD code = static_cast<DWORD>(-1);
    if (started) {
        if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 0);
        ::GetExitCodeProcess(process.hProcess, &code);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    SetLogPixels(96);
    return static_cast<int>(code);
}

bool IsScaleChild(const wchar_t* variable) { return ::GetEnvironmentVariableW(variable, nullptr, 0) != 0; }

}  // namespace tessaly::testing
