#pragma once
// Registration of the DLL from the two registry scripts in its resources:
// 101 (the application identifier) and 102 (the handler class, its three
// context-menu hooks and its approval). Machine-wide, or per user once
// DllInstall was asked for "user".
#include <windows.h>

#include <initializer_list>

namespace tessaly {

struct Replacement {
    const wchar_t* name;
    const wchar_t* value;
};

// Runs the REGISTRY resource of this module in one direction with a fresh
// registrar: the extra replacements, the module's own (APPID), and Module and
// Module_Raw (this module's path with single quotes doubled).
HRESULT RunRegistryScript(unsigned resourceId, bool doRegister, std::initializer_list<Replacement> extras) noexcept;

// The three exports' work. The thread locale is the system's while the
// scripts run, and is restored afterwards.
HRESULT RegisterServer() noexcept;
HRESULT UnregisterServer() noexcept;
HRESULT InstallServer(BOOL install, const wchar_t* commandLine) noexcept;

}  // namespace tessaly
