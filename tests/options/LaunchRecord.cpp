#include "tests/options/LaunchRecord.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "tests/options/SheetDriver.h"

namespace tessaly::testing {

LaunchRecord::LaunchRecord() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    m_path = std::wstring(folder) + L"tessaly-launches-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
    ::DeleteFileW(m_path.c_str());
    ::SetEnvironmentVariableW(L"TESSALY_LAUNCH_RECORD", m_path.c_str());
}

LaunchRecord::~LaunchRecord() {
    ::SetEnvironmentVariableW(L"TESSALY_LAUNCH_RECORD", nullptr);
    ::DeleteFileW(m_path.c_str());
}

std::vector<std::wstring> LaunchRecord::Lines() const {
    std::vector<std::wstring> lines;
    std::ifstream file(m_path.c_str(), std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        const int size = ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
        std::wstring wide(static_cast<size_t>(size), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), wide.data(), size);
        lines.push_back(wide);
    }
    return lines;
}

bool LaunchRecord::WaitForLines(std::size_t count) const {
    return WaitUntil([&] { return Lines().size() >= count; });
}

std::wstring LaunchRecord::RecorderPath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"msiexec.exe";
}

void LaunchRecord::HandleScheme(const std::wstring& scheme) {
    // Wine's classes root is the machine's only, so the handler goes there.
    const std::wstring key = L"Software\\Classes\\" + scheme + L"\\shell\\open\\command";
    const std::wstring command = L"\"" + RecorderPath() + L"\" \"%1\"";
    const LSTATUS status =
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, command.c_str(),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ASSERT_EQ(status, ERROR_SUCCESS);
}

namespace {
bool UnderWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }
constexpr wchar_t kWineOverrides[] = L"Software\\Wine\\DllOverrides";
// The system's own program while a stand-in takes its place.
std::wstring SetAsidePath() { return SystemInstallerStandIn::SystemInstallerPath() + L".tessaly-test"; }
}  // namespace

SystemInstallerStandIn::SystemInstallerStandIn(const std::wstring& source) {
    if (!UnderWine()) return;
    const std::wstring installer = SystemInstallerPath();
    // Renamed, not written over: the prefix's files are links to a template's.
    m_setAside = ::MoveFileW(installer.c_str(), SetAsidePath().c_str()) != FALSE;
    m_replaced = m_setAside && ::CopyFileW(source.c_str(), installer.c_str(), TRUE) != FALSE;
    // Wine starts its own program of a system name unless told to take the file.
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kWineOverrides, L"msiexec.exe", REG_SZ, L"native", sizeof(L"native"));
}

SystemInstallerStandIn::~SystemInstallerStandIn() {
    if (!UnderWine()) return;
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineOverrides, L"msiexec.exe");
    if (!m_setAside) return;
    ::DeleteFileW(SystemInstallerPath().c_str());
    ::MoveFileW(SetAsidePath().c_str(), SystemInstallerPath().c_str());
}

std::wstring SystemInstallerStandIn::SystemInstallerPath() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0) + L"\\msiexec.exe";
}

}  // namespace tessaly::testing
