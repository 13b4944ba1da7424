// The open command of the tests' file type: writes the path it was asked to
// open (its second argument) into the file named by its first, as UTF-16.
#include <windows.h>

#include <shellapi.h>

#include "platform/win/HandleOwners.h"

int main() {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr || count != 3) return 2;
    const tessaly::platform::FileHandle out(
        ::CreateFileW(arguments[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!out.valid()) return 3;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(::lstrlenW(arguments[2]) * sizeof(wchar_t));
    const bool ok = ::WriteFile(out.get(), arguments[2], bytes, &written, nullptr) && written == bytes;
    ::LocalFree(arguments);
    return ok ? 0 : 4;
}
