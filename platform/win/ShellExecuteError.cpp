#include "platform/win/ShellExecuteError.h"

namespace tessaly::platform {

DWORD ShellExecuteError(const SHELLEXECUTEINFOW& execute) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_SUCCESS) return error;
    // The shell's codes for hInstApp. Those below 32 that are also system
    // error codes (file or path not found, access denied, out of memory, a
    // file that is no program) mean the same there; the others have a system
    // code of the same sense. A code not listed stands as it is.
    const auto code = static_cast<DWORD>(reinterpret_cast<INT_PTR>(execute.hInstApp));
    switch (code) {
        case 0:  // out of memory or resources
            return ERROR_NOT_ENOUGH_MEMORY;
        case SE_ERR_SHARE:
            return ERROR_SHARING_VIOLATION;
        case SE_ERR_ASSOCINCOMPLETE:
        case SE_ERR_NOASSOC:
            return ERROR_NO_ASSOCIATION;
        case SE_ERR_DDETIMEOUT:
        case SE_ERR_DDEFAIL:
        case SE_ERR_DDEBUSY:
            return ERROR_DDE_FAIL;
        case SE_ERR_DLLNOTFOUND:
            return ERROR_DLL_NOT_FOUND;
        default:  // SE_ERR_FNF, SE_ERR_PNF, SE_ERR_ACCESSDENIED, SE_ERR_OOM, ERROR_BAD_FORMAT and the rest
            return code;
    }
}

}  // namespace tessaly::platform
