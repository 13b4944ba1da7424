#pragma once
// The registry entries the installer writes, worked out by running the DLL's
// own two registration scripts through our registrar over an empty in-memory
// registry, with the installed file standing in as the module path. So the
// scripts stay the one source of what registration means, for
// DllRegisterServer and the installer alike.
#include <string>
#include <vector>

#include "platform/Win32Values.h"

namespace tessaly::installer {

struct RegistryRow {
    std::wstring root;  // "HKCR" or "HKLM", as the installer names roots
    std::wstring key;
    std::wstring name;  // empty: the key's default value
    std::wstring value;
    bool keyOnly = false;  // an empty key that registration creates
};

struct Scripts {
    std::wstring appId;    // the application identifier script's text
    std::wstring handler;  // the handler class script's text
};

// Registers both scripts in the order and with the replacements that
// DllRegisterServer uses, `modulePath` standing for the DLL's path, and gives
// the entries as the installer's formatted text (see Formatted). Fails
// (a failure HRESULT, `error` says why) for a script error or an entry the
// installer could not write as text.
HResult RegistrationRows(const Scripts& scripts, const std::wstring& applicationId, const std::wstring& modulePath,
                         std::vector<RegistryRow>& rows, std::wstring& error);

// Text for the installer's formatted columns: brackets written so that the
// installer keeps them. `modulePath` (written bare) is left as it is, so an
// installer reference such as [#FileId] stays live.
std::wstring Formatted(const std::wstring& text, const std::wstring& modulePath);

// The rows as WiX elements, one per line with `indent` in front.
std::wstring WixElements(const std::vector<RegistryRow>& rows, const std::wstring& indent);

// The rows as the installer's Registry table holds them (root number, key,
// name, value, tab-separated, sorted), to compare with a built package.
std::vector<std::wstring> TableLines(const std::vector<RegistryRow>& rows);

}  // namespace tessaly::installer
