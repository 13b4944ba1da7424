// What the one-entry rule asks of the real system (the handler's tests put a
// stand-in in its place).
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "platform/win/HostProcess.h"

namespace tessaly::platform {
namespace {

TEST(HostProcess, ReportsTheRunningBuildAndThisProgramsFile) {
    // The build as Windows also writes it in the registry.
    wchar_t build[32] = {};
    DWORD size = sizeof build;
    ASSERT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion",
                             L"CurrentBuildNumber", RRF_RT_REG_SZ, nullptr, build, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(WindowsBuildNumber(), std::wcstoul(build, nullptr, 10));

    const std::wstring image = ProcessImagePath();
    const std::wstring name = L"\\test_platform.exe";
    ASSERT_GT(image.size(), name.size());
    EXPECT_EQ(::lstrcmpiW(image.c_str() + image.size() - name.size(), name.c_str()), 0) << image;
}

}  // namespace
}  // namespace tessaly::platform
