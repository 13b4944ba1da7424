// The installer's actions for the Windows 11 package (a custom-action DLL
// the MSI carries in its Binary table, not installed). Each runs its fixed
// PowerShell command (PackageCommands.cpp; the registration's install
// folder comes as CustomActionData) and writes every line the command
// wrote, and how it ended, to the installer's log. Each answers
// success whatever happened: without the package Tessaly still shows in the
// classic menu, so no failure here may fail an install or a removal.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

#include "tools/installer/actions/PowerShellRun.h"

namespace tessaly::installer {
namespace {

// Add-AppxPackage takes seconds; a deployment that hangs must not hold the
// installation for ever.
const unsigned long kTimeoutMs = 5 * 60 * 1000;

// One informative line in the installer's log (not shown to the user).
void Log(MSIHANDLE install, const std::wstring& text) {
    const MSIHANDLE record = ::MsiCreateRecord(1);
    if (record == 0) return;
    // The text goes in a field, not the template, so that brackets in it
    // are not read as properties.
    ::MsiRecordSetStringW(record, 0, L"[1]");
    ::MsiRecordSetStringW(record, 1, text.c_str());
    ::MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
    ::MsiCloseHandle(record);
}

std::wstring CustomActionData(MSIHANDLE install) {
    DWORD length = 0;
    wchar_t empty[1] = {};
    if (::MsiGetPropertyW(install, L"CustomActionData", empty, &length) != ERROR_MORE_DATA) return {};
    std::wstring value(length + 1, L'\0');
    length += 1;
    if (::MsiGetPropertyW(install, L"CustomActionData", value.data(), &length) != ERROR_SUCCESS) return {};
    value.resize(length);
    return value;
}

UINT RunAction(MSIHANDLE install, PackageVerb verb) {
    try {
        const std::wstring prefix = std::wstring(L"Tessaly package ") + VerbName(verb) + L": ";
        const std::wstring folder = NeedsFolder(verb) ? CustomActionData(install) : std::wstring();
        if (NeedsFolder(verb) && folder.empty()) {
            Log(install, prefix + L"no install folder given (CustomActionData is empty); nothing done");
            return ERROR_SUCCESS;
        }
        const PowerShellOutcome outcome = RunPackageCommand(verb, folder, kTimeoutMs);
        for (const std::wstring& line : outcome.lines) Log(install, prefix + line);
        Log(install, prefix + outcome.ending);
    } catch (...) {
        try {
            Log(install, std::wstring(L"Tessaly package ") + VerbName(verb) + L": stopped by an internal error");
        } catch (...) {
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace
}  // namespace tessaly::installer

// Registers the package for the installing user, its external location the
// install folder.
extern "C" UINT __stdcall RegisterPackage(MSIHANDLE install) {
    return tessaly::installer::RunAction(install, tessaly::installer::PackageVerb::Register);
}

// Removes the package for the installing user.
extern "C" UINT __stdcall RemovePackage(MSIHANDLE install) {
    return tessaly::installer::RunAction(install, tessaly::installer::PackageVerb::Remove);
}

// Removes the package for every user it is registered for (run as the
// system: that needs an administrator's rights). It needs no folder, so the
// system runs nothing that names one.
extern "C" UINT __stdcall RemovePackageForAllUsers(MSIHANDLE install) {
    return tessaly::installer::RunAction(install, tessaly::installer::PackageVerb::RemoveForAllUsers);
}
