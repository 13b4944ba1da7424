// A library of a system DLL's name, planted beside a program: when anything
// loads it, it leaves a file "planted-library-loaded" beside itself.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    wchar_t* name = path + length;
    while (name > path && name[-1] != L'\\') --name;
    if (length == 0 || static_cast<size_t>(name - path) + 24 >= MAX_PATH) return TRUE;
    ::lstrcpyW(name, L"planted-library-loaded");
    const HANDLE marker = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
    return TRUE;
}
