#pragma once
// Loading a library of the system.
#include <windows.h>

namespace tessaly::platform {

// Loads a system DLL by name from the system folder only, never from the
// host program's folder or the current one, where a file of the same name
// could have been planted. Null on failure.
HMODULE LoadSystemLibrary(const wchar_t* name) noexcept;

}  // namespace tessaly::platform
