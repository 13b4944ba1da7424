#pragma once
// What the installer's tests do again and again: run msiexec and the shell
// host, read installed files, claim a Windows build number.
#include <string>
#include <vector>

#include "HostProcess.h"

namespace tessaly::testing {

extern const wchar_t kProductCode[];
extern const std::wstring kCompanyFolder;
extern const std::wstring kInstallFolder;  // the 64-bit DLL's, the package's
extern const std::wstring kInstalledDll;
extern const std::wstring kInstalledPackage;

std::string Bytes(const std::wstring& path);
bool Exists(const std::wstring& path);
// msiexec's exit code (0xFFFFFFFF when it did not end within two minutes).
unsigned long Msiexec(const std::vector<std::wstring>& arguments);
// The shell host of each bitness: 32-bit programs load the 32-bit DLL.
HostRun ShellHost(const std::vector<std::wstring>& arguments, const char* host = TESSALY_SHELL_EXE);
// The Windows build number the installer reads, as this prefix reports it.
void SetWindowsBuild(const wchar_t* build);

}  // namespace tessaly::testing
