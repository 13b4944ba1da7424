#include "ProcessStart.h"

#include <cstdio>

namespace tessaly::testing {

bool StartProcess(wchar_t* commandLine, bool inheritHandles, STARTUPINFOW& startup, PROCESS_INFORMATION& process) {
    for (int attempt = 1;; ++attempt) {
        if (::CreateProcessW(nullptr, commandLine, nullptr, nullptr, inheritHandles ? TRUE : FALSE, 0, nullptr,
                             nullptr, &startup, &process))
            return true;
        const DWORD error = ::GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
            ::SetLastError(error);
            return false;
        }
        std::fprintf(stderr, "a child process died during Wine's start-up (error 1359); starting it again\n");
        ::Sleep(500);
    }
}

}  // namespace tessaly::testing
