#pragma once
// The thread's last error and the system's message texts for error codes.
#include <string>

#include "platform/Win32Values.h"

namespace tessaly::platform {

Win32Error LastError();
void SetLastError(Win32Error code);

// The system's message text for a code, exactly as the system gives it
// (normally ending in CR LF); empty when the system has none.
std::wstring SystemMessageText(Win32Error code);

}  // namespace tessaly::platform
