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

}  // namespace tessaly::testing
