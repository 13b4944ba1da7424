#pragma once
#include "platform/Win32Values.h"

namespace tessaly::platform {

// The Windows error code that a POSIX errno value corresponds to, so that
// callers see the same codes (and message texts) on both platforms.
Win32Error Win32ErrorFromErrno(int error);

}  // namespace tessaly::platform
