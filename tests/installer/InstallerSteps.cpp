#include "InstallerSteps.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <iterator>

namespace tessaly::testing {

const wchar_t kProductCode[] = L"{DC530510-9407-45A9-9EFB-D4D0DF0B1E3A}";
const std::wstring kCompanyFolder = L"C:\\Program Files\\Quenbridge";
const std::wstring kInstallFolder = kCompanyFolder + L"\\Tessaly";
const std::wstring kInstalledDll = kInstallFolder + L"\\Tessaly64_10000.dll";
const std::wstring kInstalledPackage = kInstallFolder + L"\\Tessaly.msix";

std::string Bytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

unsigned long Msiexec(const std::vector<std::wstring>& arguments) {
    const HostRun run = RunProgram(L"msiexec", arguments, 120000);
    return run.timedOut ? 0xFFFFFFFFul : run.exitCode;
}

HostRun ShellHost(const std::vector<std::wstring>& arguments, const char* host) {
    return RunProgram(WindowsPathOf(host), arguments);
}

void SetWindowsBuild(const wchar_t* build) {
    const LSTATUS status = ::RegSetKeyValueW(
        HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentBuildNumber", REG_SZ, build,
        static_cast<DWORD>((std::wcslen(build) + 1) * sizeof(wchar_t)));
    ASSERT_EQ(status, ERROR_SUCCESS);
}

}  // namespace tessaly::testing
