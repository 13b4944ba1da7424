#pragma once
#include <windows.h>

#include <shellapi.h>

namespace tessaly::platform {

// Why ShellExecuteExW failed. The shell that has shown its own error
// message clears the thread's last error (Wine does), so a line would read
// "success (0x0)"; the code it leaves in hInstApp still tells the reason.
DWORD ShellExecuteError(const SHELLEXECUTEINFOW& execute);

}  // namespace tessaly::platform
