#include "platform/win/ShellExecuteError.h"

namespace tessaly::platform {

DWORD ShellExecuteError(const SHELLEXECUTEINFOW& execute) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_SUCCESS) return error;
    switch (static_cast<int>(reinterpret_cast<INT_PTR>(execute.hInstApp))) {
        case SE_ERR_FNF:
            return ERROR_FILE_NOT_FOUND;
        case SE_ERR_PNF:
            return ERROR_PATH_NOT_FOUND;
        case SE_ERR_ACCESSDENIED:
            return ERROR_ACCESS_DENIED;
        case SE_ERR_OOM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case SE_ERR_SHARE:
            return ERROR_SHARING_VIOLATION;
        case SE_ERR_DLLNOTFOUND:
            return ERROR_DLL_NOT_FOUND;
        case SE_ERR_ASSOCINCOMPLETE:
        case SE_ERR_NOASSOC:
            return ERROR_NO_ASSOCIATION;
        case SE_ERR_DDETIMEOUT:
        case SE_ERR_DDEFAIL:
        case SE_ERR_DDEBUSY:
            return ERROR_DDE_FAIL;
        default:
            return ERROR_GEN_FAILURE;
    }
}

}  // namespace tessaly::platform
